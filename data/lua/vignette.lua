-- Vignette
--   Slider 1: strength (0 none, 1000 black corners)
--   Slider 2: radius of the untouched centre (0 small, 1000 reaches the corners)
--   Style 1: 1 darkens, 2 lightens
local strength = sliderVal1
local radius = sliderVal2
local cx, cy = (width - 1) / 2, (height - 1) / 2
local reach = math.sqrt(cx * cx + cy * cy)
if reach == 0 then reach = 1 end
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local d = math.sqrt((x - cx) ^ 2 + (y - cy) ^ 2) / reach
    local f = 0
    if d > radius then f = ((d - radius) / (1 - radius + 1e-9)) ^ 2 * strength end
    local r, g, b = get_rgb(x, y)
    if styleVal1 == 2 then
      set_rgb(x, y, r + (1 - r) * f, g + (1 - g) * f, b + (1 - b) * f)
    else
      set_rgb(x, y, r * (1 - f), g * (1 - f), b * (1 - f))
    end
  end
end
