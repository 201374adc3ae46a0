-- Warm and Cool (in L*a*b*)
--   Slider 1: temperature (0 cold blue, 500 unchanged, 1000 warm yellow)
--   Slider 2: tint (0 green, 500 unchanged, 1000 magenta)
local warm = (sliderVal1 - 0.5) * 60
local tint = (sliderVal2 - 0.5) * 60
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local L, a, b = get_lab(x, y)
    set_lab(x, y, L, a + tint, b + warm)
  end
end
