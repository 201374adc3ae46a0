-- Emboss
--   Slider 1: depth (0 flat, 1000 deep)
--   Flag 1: keep the colours (otherwise a grey relief)
local depth = 1 + sliderVal1 * 7
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local a = get_value(x - 1, y - 1)
    local b = get_value(x + 1, y + 1)
    if x == 0 or y == 0 then a = get_value(x, y) end
    if x == bound_x1 or y == bound_y1 then b = get_value(x, y) end
    local relief = 0.5 + (b - a) * depth
    if flagVal1 then
      local h, s, l = get_hsl(x, y)
      set_hsl(x, y, h, s, relief)
    else
      set_value(x, y, relief)
    end
  end
end
