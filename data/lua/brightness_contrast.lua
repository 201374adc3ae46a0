-- Brightness and Contrast
--   Slider 1: brightness (0 darkest, 500 unchanged, 1000 brightest)
--   Slider 2: contrast (0 flat grey, 500 unchanged, 1000 strongest)
-- Works on red, green and blue; alpha stays.
local brightness = (sliderVal1 - 0.5) * 2        -- -1 .. 1
local contrast = sliderVal2 * 2                  -- 0 .. 2
if contrast > 1 then contrast = 1 / (2 - contrast + 0.01) end
local function adjust(c)
  return (c - 0.5) * contrast + 0.5 + brightness
end
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local r, g, b = get_rgb(x, y)
    set_rgb(x, y, adjust(r), adjust(g), adjust(b))
  end
  if is_escape() == 1 then error("cancelled") end
end
