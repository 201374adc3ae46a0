-- Posterize
--   Slider 1: levels per channel (0 gives 2 levels, 1000 gives 32)
local levels = math.floor(2 + sliderVal1 * 30)
local step = levels - 1
local function q(c) return math.floor(c * step + 0.5) / step end
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local r, g, b = get_rgb(x, y)
    set_rgb(x, y, q(r), q(g), q(b))
  end
end
