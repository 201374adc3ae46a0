-- Threshold
--   Slider 1: threshold (brightness where black turns to white, 0..1000)
--   Flag 1: paint with the brush colour and the first colour bank instead
--           of white and black
local t = sliderVal1
local lr, lg, lb, dr, dg, db = 1, 1, 1, 0, 0, 0
if flagVal1 then
  lr, lg, lb = get_color()
  dr, dg, db = get_color1()
end
for y = 0, height - 1 do
  for x = 0, width - 1 do
    if get_value(x, y) >= t then set_rgb(x, y, lr, lg, lb) else set_rgb(x, y, dr, dg, db) end
  end
end
