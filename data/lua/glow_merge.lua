-- Soft Glow
--   Slider 1: glow strength (opacity of the glow layer, 0..1000)
--   Slider 2: brightness lift of the glow (0..1000)
--   Style 1: blend mode of the glow: 1 Screen, 2 Lighten, 3 Add, 4 Soft Light
local modes = { MERGE_SCREEN, MERGE_LIGHTEN, MERGE_ADD, MERGE_SOFT_LIGHT }
local mode = modes[styleVal1] or MERGE_SCREEN
local lift = sliderVal2
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local sr, sg, sb, n = 0, 0, 0, 0
    for dy = -2, 2, 2 do
      for dx = -2, 2, 2 do
        local px, py = x + dx, y + dy
        if px >= 0 and px <= bound_x1 and py >= 0 and py <= bound_y1 then
          local r, g, b = get_rgb(px, py)
          sr, sg, sb, n = sr + r, sg + g, sb + b, n + 1
        end
      end
    end
    set_rgb(x, y, sr / n + lift * 0.3, sg / n + lift * 0.3, sb / n + lift * 0.3)
  end
end
merge(mode, sliderVal1)   -- the layer now holds the glow; the source shows it
-- Nothing more to write: hand the merged layer back unchanged.
for y = 0, height - 1 do
  for x = 0, width - 1 do
    set_rgba(x, y, get_rgba(x, y))
  end
end
