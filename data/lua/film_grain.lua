-- Film Grain
--   Slider 1: amount (0 none, 1000 heavy)
--   Slider 2: seed of the grain pattern
--   Flag 1: coloured grain (otherwise the same grain on every channel)
math.randomseed(math.floor(sliderVal2 * 1000))
local amount = sliderVal1 * 0.5
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local r, g, b = get_rgb(x, y)
    local n = (math.random() - 0.5) * amount
    if flagVal1 then
      set_rgb(x, y, r + n, g + (math.random() - 0.5) * amount, b + (math.random() - 0.5) * amount)
    else
      set_rgb(x, y, r + n, g + n, b + n)
    end
  end
end
