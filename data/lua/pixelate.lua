-- Pixelate
--   Slider 1: block size (0 gives 2 pixels, 1000 gives 64 pixels)
local size = math.floor(2 + sliderVal1 * 62)
for by = 0, height - 1, size do
  for bx = 0, width - 1, size do
    local sr, sg, sb, sa, n = 0, 0, 0, 0, 0
    for y = by, math.min(by + size, height) - 1 do
      for x = bx, math.min(bx + size, width) - 1 do
        local r, g, b, a = get_rgba(x, y)
        sr, sg, sb, sa, n = sr + r, sg + g, sb + b, sa + a, n + 1
      end
    end
    for y = by, math.min(by + size, height) - 1 do
      for x = bx, math.min(bx + size, width) - 1 do
        set_rgba(x, y, sr / n, sg / n, sb / n, sa / n)
      end
    end
  end
end
