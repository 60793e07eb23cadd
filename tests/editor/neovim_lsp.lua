-- Neovim's own language client against `compattatore lsp`: open a broken train description,
-- wait for its problems, hover on a station, complete a record, mend the record and see the
-- problem go; open the line description beside it, clean, and hover on a curve; then shut the
-- server down. Every step is written to the transcript; the exit status is the verdict.
local exe = os.getenv('COMPATTATORE_EXE')
local folder = os.getenv('LSP_FOLDER')
local transcript = os.getenv('LSP_TRANSCRIPT')
local expected = os.getenv('LSP_EXPECTED') or ''

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

-- The documents the server published problems for, to tell "none" from "not yet".
local published = {}
local publish = vim.lsp.handlers['textDocument/publishDiagnostics']
vim.lsp.handlers['textDocument/publishDiagnostics'] = function(e, result, ctx, config)
  published[result.uri] = true
  return publish(e, result, ctx, config)
end

local function hover_text(buf, line, character)
  local replies = vim.lsp.buf_request_sync(buf, 'textDocument/hover', {
    textDocument = { uri = vim.uri_from_bufnr(buf) },
    position = { line = line, character = character },
  }, 5000)
  for _, r in pairs(replies or {}) do
    if r.result and r.result.contents then return r.result.contents.value end
  end
  return ''
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
    check(expected ~= '' and found[1].message == expected,
      'with the message check prints: ' .. expected)
    check(found[1].severity == vim.diagnostic.severity.ERROR, 'as an error')
  end

  -- Hover on the length of the station TORINO LINGOTTO.
  local text = hover_text(buf, 37, 24)
  say('hover on line 38, column 25:')
  for l in text:gmatch('[^\n]+') do say('  | ' .. l) end
  check(text:find('**station** `stazione`', 1, true) ~= nil, 'the hover names the record')
  check(text:find('**length** (value 3 of 17)', 1, true) ~= nil, 'and the field under the cursor')
  check(text:find('- value: 650 m', 1, true) ~= nil, 'with its value')
  check(text:find('Position: 4850 m, km 4+850', 1, true) ~= nil, 'and the position')

  local items = vim.lsp.buf_request_sync(buf, 'textDocument/completion', {
    textDocument = { uri = vim.uri_from_bufnr(buf) },
    position = { line = 37, character = 3 },
  }, 5000)
  local labels = {}
  for _, r in pairs(items or {}) do
    for _, item in ipairs(r.result or {}) do table.insert(labels, item.label) end
  end
  say('completion at the start of line 38, in [stazioni]: ' .. table.concat(labels, ', '))
  check(#labels == 1 and labels[1] == 'stazione', 'offers the station record')

  -- Mend the record as an author would: the problem goes at once.
  local line = vim.api.nvim_buf_get_lines(buf, 37, 38, true)[1]
  vim.api.nvim_buf_set_lines(buf, 37, 38, true, { (line:gsub('  650,', '  600,', 1)) })
  vim.wait(10000, function() return #diagnostics() == 0 end, 20)
  check(#diagnostics() == 0, 'mending the record clears the problem')

  -- The line description beside it: no problem, and a hover on its first curve.
  vim.cmd('edit ++enc=cp850 ' .. vim.fn.fnameescape(folder .. '/Torino_Piacenza_linea.txt'))
  local line_buf = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(line_buf, client)
  local line_uri = vim.uri_from_bufnr(line_buf)
  vim.wait(10000, function() return published[line_uri] end, 20)
  check(published[line_uri] and #vim.diagnostic.get(line_buf) == 0,
    'the line description is published without a problem')
  local curve = hover_text(line_buf, 10, 11)
  say('hover on line 11, column 12 of the line description:')
  for l in curve:gmatch('[^\n]+') do say('  | ' .. l) end
  check(curve:find('**curve** `curva`', 1, true) ~= nil and
    curve:find('- value: 1700 m', 1, true) ~= nil, 'the hover names the curve and its start')

  vim.lsp.stop_client(client)
  vim.wait(10000, function() return exit_code ~= nil end, 20)
  check(exit_code == 0, 'the server ended with status 0 after shutdown and exit (got ' ..
    tostring(exit_code) .. ')')
end)
if not ok then check(false, 'the script ran: ' .. tostring(err)) end
finish()
