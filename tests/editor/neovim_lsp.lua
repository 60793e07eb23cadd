-- Neovim's own language client against `compattatore lsp`: open a broken train description,
-- wait for its problems, hover on a station, mend the record and see the problem go, then shut
-- the server down. Every step is written to the transcript; the exit status is the verdict.
local exe = os.getenv('COMPATTATORE_EXE')
local folder = os.getenv('LSP_FOLDER')
local transcript = os.getenv('LSP_TRANSCRIPT')

local lines, failed = {}, false
local function say(s) table.insert(lines, s) end
local function check(ok, what)
  if not ok then failed = true end
  say((ok and 'ok: ' or 'FAILED: ') .. what)
end
local function finish()
  say(failed and 'result: FAILED' or 'result: passed')
  local f = io.open(transcript, 'w')
  f:write(table.concat(lines, '\n') .. '\n')
  f:close()
  vim.cmd(failed and 'cquit 1' or 'qall!')
end

local ok, err = pcall(function()
  -- The description is code page 850 on disk; the buffer holds it as UTF-8.
  vim.cmd('edit ++enc=cp850 ' .. vim.fn.fnameescape(folder .. '/Torino_Piacenza_2063-.txt'))
  local buf = vim.api.nvim_get_current_buf()
  local exit_code = nil
  local client = vim.lsp.start_client({
    name = 'compattatore',
    cmd = { exe, 'lsp' },
    root_dir = folder,
    on_exit = function(code) exit_code = code end,
  })
  check(client ~= nil, 'the server started')
  vim.lsp.buf_attach_client(buf, client)

  local function diagnostics() return vim.diagnostic.get(buf) end
  vim.wait(10000, function() return #diagnostics() > 0 end, 20)
  local found = diagnostics()
  say('diagnostics after opening:')
  for _, d in ipairs(found) do
    say(string.format('  line %d, column %d-%d, %s: %s', d.lnum + 1, d.col + 1, d.end_col,
      tostring(d.code), d.message))
  end
  check(#found == 1, 'one problem published')
  if #found >= 1 then
    check(found[1].lnum == 37, 'on line 38, the station record that was broken')
    check(found[1].code == 'R9', 'with code R9')
    check(found[1].message == 'station length not a multiple of 100 m [R9] at 4850 m (km 4+850)',
      'with the message check prints')
    check(found[1].severity == vim.diagnostic.severity.ERROR, 'as an error')
  end

  -- Hover on the length of the station TORINO LINGOTTO.
  local replies = vim.lsp.buf_request_sync(buf, 'textDocument/hover', {
    textDocument = { uri = vim.uri_from_bufnr(buf) },
    position = { line = 37, character = 24 },
  }, 5000)
  local text = ''
  for _, r in pairs(replies or {}) do
    if r.result and r.result.contents then text = r.result.contents.value end
  end
  say('hover on line 38, column 25:')
  for l in text:gmatch('[^\n]+') do say('  | ' .. l) end
  check(text:find('**station** `stazione`', 1, true) ~= nil, 'the hover names the record')
  check(text:find('**length** (value 3 of 17)', 1, true) ~= nil, 'and the field under the cursor')
  check(text:find('- value: 650 m', 1, true) ~= nil, 'with its value')
  check(text:find('Position: 4850 m, km 4+850', 1, true) ~= nil, 'and the position')

  -- Mend the record as an author would: the problem goes at once.
  local line = vim.api.nvim_buf_get_lines(buf, 37, 38, true)[1]
  vim.api.nvim_buf_set_lines(buf, 37, 38, true, { (line:gsub('  650,', '  600,', 1)) })
  vim.wait(10000, function() return #diagnostics() == 0 end, 20)
  check(#diagnostics() == 0, 'mending the record clears the problem')

  vim.lsp.stop_client(client)
  vim.wait(10000, function() return exit_code ~= nil end, 20)
  check(exit_code == 0, 'the server ended with status 0 after shutdown and exit (got ' ..
    tostring(exit_code) .. ')')
end)
if not ok then check(false, 'the script ran: ' .. tostring(err)) end
finish()
