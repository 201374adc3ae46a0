-- Ink Separation
--   Slider 1: cyan ink kept (0 none, 1000 all)
--   Slider 2: magenta ink kept
--   Slider 3: yellow ink kept
--   Slider 4: black ink kept
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local c, m, ye, k = get_cmyk(x, y)
    set_cmyk(x, y, c * sliderVal1, m * sliderVal2, ye * sliderVal3, k * sliderVal4)
  end
end
