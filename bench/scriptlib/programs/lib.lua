local function trim(s) return (s:gsub('^%s+', ''):gsub('%s+$', '')) end
local function Work(n)
  local s = 0
  for i = 1, n do
    local t = trim('  ' .. tostring(i) .. '  ')
    t = string.upper(string.sub(t .. 'abc', 1, 4))
    s = s + #t + (string.find(t, 'A', 1, true) or 0)
    t = string.format('%.2f', i / 3)
    s = s + #t
    t = os.date('%Y-%m-%d', os.time({year = 2000 + i % 20, month = 1 + i % 12, day = 1 + i % 28, hour = 12}))
    s = s + #t
  end
  return s
end
local t = os.clock(); local r = Work(100000); print(os.clock() - t, r)
