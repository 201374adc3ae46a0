-- Negative
--   Slider 1: amount (0 unchanged, 1000 full negative; 500 gives flat grey)
--   Flag 1: invert the alpha too
local a = sliderVal1
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local r, g, b, al = get_rgba(x, y)
    if flagVal1 then al = al + (1 - 2 * al) * a end
    set_rgba(x, y, r + (1 - 2 * r) * a, g + (1 - 2 * g) * a, b + (1 - 2 * b) * a, al)
  end
end
