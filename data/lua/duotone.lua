-- Duotone
--   Slider 1: amount (0 unchanged, 1000 fully two-toned)
--   Shadows take colour bank 1, highlights colour bank 2 (set them in the
--   colour banks before running).
local amount = sliderVal1
local r1, g1, b1 = get_color1()
local r2, g2, b2 = get_color2()
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local r, g, b = get_rgb(x, y)
    local v = 0.299 * r + 0.587 * g + 0.114 * b
    local tr, tg, tb = r1 + (r2 - r1) * v, g1 + (g2 - g1) * v, b1 + (b2 - b1) * v
    set_rgb(x, y, r + (tr - r) * amount, g + (tg - g) * amount, b + (tb - b) * amount)
  end
end
