-- Grayscale
--   Slider 1: amount (0 keeps the colour, 1000 fully grey)
--   Flag 1: average the channels instead of weighting them by luminance
local amount = sliderVal1
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local r, g, b = get_rgb(x, y)
    local grey
    if flagVal1 then grey = get_value(x, y) else grey = 0.299 * r + 0.587 * g + 0.114 * b end
    set_rgb(x, y, r + (grey - r) * amount, g + (grey - g) * amount, b + (grey - b) * amount)
  end
end
