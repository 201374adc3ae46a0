-- Hue and Saturation
--   Slider 1: hue shift (0 none; 1000 a full turn of 360 degrees)
--   Slider 2: saturation (0 grey, 500 unchanged, 1000 doubled)
local shift = sliderVal1 * 360
local sat = sliderVal2 * 2
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local h, s, v = get_hsv(x, y)
    if h >= 0 then
      set_hsv(x, y, (h + shift) % 360, s * sat, v)
    end
  end
end
