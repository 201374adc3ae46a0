-- Sketch Strokes (paint-script recorder)
--   Slider 1: stroke spacing (0 dense, 1000 sparse)
--   Slider 2: darkness a pixel needs to be traced (0..1000)
--   Slider 3: brush size (0 gives 2, 1000 gives 40)
--   Style 1: brush number of the host's brush set
-- Leaves the picture as it is and records, for the host to replay, a pencil
-- sketch: horizontal strokes over every run of dark pixels.
local step = math.floor(4 + sliderVal1 * 28)
local dark = sliderVal2
paint_open(1)
paint_select_brush(styleVal1, 2, 0)
paint_brush_size(math.floor(2 + sliderVal3 * 38))
paint_brush_opacity(80)
paint_brush_color(0.2, 0.2, 0.25)
for y = 0, height - 1, step do
  local start = nil
  for x = 0, width do
    local inside = x < width and get_value(x, y) < dark
    if inside and not start then
      start = x
      paint_stroke_start(x, y)
    elseif inside and start then
      if (x - start) % step == 0 then paint_stroke_pos(x, y, 0.5 + 0.5 * (1 - get_value(x, y))) end
    elseif start then
      paint_stroke_pos(x - 1, y, 0.5)
      paint_stroke_stop()
      start = nil
    end
  end
end
paint_close()
