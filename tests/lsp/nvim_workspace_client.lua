-- Neovim's own LSP client drives `vennikplus-cli lsp` with the workspace set
-- and only an included file open (console.inc, which the main program and
-- five test programs include): its diagnostics and definitions are those of
-- its programs; a rename of a SUB another file defines edits every program
-- that shares the file, a test program's own file too; the files it edits
-- are saved and read again by the server; and a missing file named deep in
-- an include chain, written on the disk, shows on the #INCLUDE line of the
-- open program that leads to it. Every wait ends on an event; the time given
-- to each is only a ceiling.
local cli = os.getenv('VENNIK_CLI')
local root = os.getenv('VENNIK_ROOT')
local settings = os.getenv('VENNIK_SETTINGS')
local CEILING = 60000

local function fail(msg)
  io.stderr:write('FAIL: ' .. msg .. '\n')
  vim.cmd('cquit 1')
end

local function note(msg) io.stderr:write(msg .. '\n') end

local function main()
  local published = {}
  vim.lsp.handlers['textDocument/publishDiagnostics'] = function(err, result, ctx, config)
    published[result.uri] = (published[result.uri] or 0) + 1
    return vim.lsp.diagnostic.on_publish_diagnostics(err, result, ctx, config)
  end

  local exit_code = nil
  local client_id = vim.lsp.start_client({
    name = 'vennikplus',
    cmd = { cli, 'lsp', '--settings', settings },
    root_dir = root,
    -- zmim is written for the Colour Maximite 2.
    init_options = { keywords = 'cmm2' },
    flags = { debounce_text_changes = 0 },
    on_exit = function(code) exit_code = code end,
  })
  if not client_id then return fail('the client did not start the server') end
  local client = vim.lsp.get_client_by_id(client_id)

  local function open(path)
    vim.cmd('edit ' .. vim.fn.fnameescape(path))
    local b = vim.api.nvim_get_current_buf()
    vim.lsp.buf_attach_client(b, client_id)
    local uri = vim.uri_from_bufnr(b)
    if not vim.wait(CEILING, function() return published[uri] end, 5) then
      fail('no diagnostics after opening ' .. path)
      return nil
    end
    return b, uri
  end
  local function request(b, method, params)
    local replies, err = vim.lsp.buf_request_sync(b, method, params, CEILING)
    if not replies then fail(method .. ': ' .. tostring(err)) return nil end
    local reply = replies[client_id]
    if not reply then fail(method .. ': no reply') return nil end
    if reply.error then fail(method .. ': ' .. vim.inspect(reply.error)) return nil end
    return reply.result
  end
  local function line_of(b, pattern)
    for i, line in ipairs(vim.api.nvim_buf_get_lines(b, 0, -1, true)) do
      local at = line:find(pattern)
      if at then return i - 1, at - 1 end
    end
  end
  local function file_of(uri) return vim.uri_to_fname(uri):sub(#root + 2) end

  local buf, uri = open(root .. '/console.inc')
  if not buf then return end

  -- Read within the main program: no name that another of its files
  -- declares is taken for undeclared.
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    if d.code == 'undeclared' then
      local defs = request(buf, 'textDocument/definition',
        { textDocument = { uri = uri }, position = { line = d.lnum, character = d.col } })
      for _, def in ipairs(defs or {}) do
        if def.uri ~= uri then return fail('declared in ' .. def.uri .. ', yet: ' .. d.message) end
      end
    end
  end
  local hover = request(buf, 'textDocument/hover', { textDocument = { uri = uri }, position = { line = 13, character = 8 } })
  if not hover or not hover.contents.value:find('in the program: main.bas', 1, true) then
    return fail('the hover names no program: ' .. vim.inspect(hover))
  end

  -- A call of a SUB that memory.inc defines.
  local line, col = line_of(buf, '^%s*wb%(')
  if not line then return fail('no call of wb in console.inc') end
  local at = { textDocument = { uri = uri }, position = { line = line, character = col + 2 } }
  local defs = request(buf, 'textDocument/definition', at)
  if not defs or #defs ~= 1 or file_of(defs[1].uri) ~= 'memory.inc' then
    return fail('definition of wb: ' .. vim.inspect(defs))
  end
  note('wb on line ' .. (line + 1) .. ' goes to memory.inc line ' .. (defs[1].range.start.line + 1))

  local function references()
    return request(buf, 'textDocument/references',
      vim.tbl_extend('force', at, { context = { includeDeclaration = true } }))
  end
  local before = references()
  if not before then return end
  local edit = request(buf, 'textDocument/rename', vim.tbl_extend('force', at, { newName = 'write_byte' }))
  if not edit then return end
  local files, places = {}, 0
  for u, edits in pairs(edit.changes or {}) do
    files[file_of(u)] = true
    places = places + #edits
  end
  if places ~= #before then return fail(places .. ' places renamed, ' .. #before .. ' referenced') end
  -- tests/tst_mem.bas calls it too: a program other than the one console.inc is read in.
  if not files['memory.inc'] or not files['tests/tst_mem.bas'] then
    return fail('the rename edits ' .. vim.inspect(vim.tbl_keys(files)))
  end
  note('rename edits ' .. places .. ' places in ' .. vim.tbl_count(files) .. ' files')

  -- Applied by the client, which edits the open buffer and loads the other
  -- files without showing them to the server: it reads them from the disk,
  -- so until they are saved the new name stands in console.inc alone.
  vim.lsp.util.apply_workspace_edit(edit, 'utf-16')
  local unsaved = references()
  if not unsaved then return end
  if #unsaved >= places then return fail('before saving, ' .. #unsaved .. ' references of the new name') end
  vim.cmd('wall')
  local saved = references()
  if not saved then return end
  if #saved ~= places then return fail('after saving, ' .. #saved .. ' references of the new name, not ' .. places) end
  note(#unsaved .. ' references before saving, ' .. #saved .. ' after')

  -- A program that includes vt100.inc; then a missing file named in it.
  local test, test_uri = open(root .. '/tests/tst_cons.bas')
  if not test then return end
  local include_line = line_of(test, '^#Include "%.%./splib/vt100%.inc"')
  local seen = published[test_uri]
  local vt100 = root .. '/splib/vt100.inc'
  local f = assert(io.open(vt100, 'a'))
  f:write('#Include "no-such-file.inc"\n')
  f:close()
  client.notify('workspace/didChangeWatchedFiles', { changes = { { uri = vim.uri_from_fname(vt100), type = 2 } } })
  local shown = nil
  local ok = vim.wait(CEILING, function()
    if published[test_uri] == seen then return false end
    for _, d in ipairs(vim.diagnostic.get(test, { severity = vim.diagnostic.severity.ERROR })) do
      if d.message:find('no-such-file.inc', 1, true) then shown = d end
    end
    return shown ~= nil
  end, 5)
  if not ok then return fail('no error for the missing file in vt100.inc') end
  if shown.lnum ~= include_line then
    return fail('the error stands on line ' .. (shown.lnum + 1) .. ', not ' .. (include_line + 1))
  end
  note('line ' .. (shown.lnum + 1) .. ' of tst_cons.bas: ' .. shown.message)

  vim.lsp.stop_client(client_id)
  if not vim.wait(CEILING, function() return exit_code ~= nil end, 5) then return fail('the server did not exit') end
  if exit_code ~= 0 then return fail('the server exited with code ' .. exit_code) end
  note('ok')
end

local ok, err = xpcall(main, debug.traceback)
if not ok then fail(tostring(err)) end
vim.cmd('qall!')
