local before = collectgarbage("count")
local t = os.clock(); local r
for i = 1, 100000 do r = load("return 1 + 2 * 3 - 4 / 2")() end
print(os.clock() - t, r, collectgarbage("count") - before)
