-- Sepia Tone
--   Slider 1: strength (0 none, 1000 full sepia)
--   Slider 2: warmth of the tone (0 cool brown, 1000 warm orange)
local s = sliderVal1
local warm = 0.85 + sliderVal2 * 0.3
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local r, g, b = get_rgb(x, y)
    local tr = (0.393 * r + 0.769 * g + 0.189 * b) * warm
    local tg = 0.349 * r + 0.686 * g + 0.168 * b
    local tb = (0.272 * r + 0.534 * g + 0.131 * b) / warm
    set_rgb(x, y, r + (tr - r) * s, g + (tg - g) * s, b + (tb - b) * s)
  end
end
