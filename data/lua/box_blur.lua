-- Soft Blur
--   Slider 1: radius (0 gives 1 pixel, 1000 gives 10 pixels)
--   Flag 1: blur only where the selection mask is open (weighted by it)
-- Two passes, across then down; the second pass reads what the first wrote.
local radius = math.floor(1 + sliderVal1 * 9)
local function pass(dx, dy)
  for y = 0, height - 1 do
    for x = 0, width - 1 do
      local sr, sg, sb, n = 0, 0, 0, 0
      for i = -radius, radius do
        local px, py = x + i * dx, y + i * dy
        if px >= 0 and px < width and py >= 0 and py < height then
          local r, g, b = get_rgb(px, py)
          sr, sg, sb, n = sr + r, sg + g, sb + b, n + 1
        end
      end
      local k = 1
      if flagVal1 then k = get_mask(x, y) end
      local r, g, b = get_rgb(x, y)
      set_rgb(x, y, r + (sr / n - r) * k, g + (sg / n - g) * k, b + (sb / n - b) * k)
    end
  end
end
pass(1, 0)
flush()            -- the source now holds the first pass
pass(0, 1)
