-- Neovim's own LSP client drives `vennikplus-cli lsp` across the files of a
-- program: the missing include as an error, definition from the main file
-- into an included one, references in every file, and a rename that edits
-- them all, applied by the client to buffers it then keeps in sync. Every
-- wait ends on an event; the time given to each is only a ceiling.
local cli = os.getenv('VENNIK_CLI')
local program = os.getenv('VENNIK_PROGRAM')
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
    root_dir = vim.fn.fnamemodify(program, ':h'),
    flags = { debounce_text_changes = 0 },
    on_exit = function(code) exit_code = code end,
  })
  if not client_id then return fail('the client did not start the server') end

  vim.cmd('edit ' .. vim.fn.fnameescape(program))
  vim.bo.readonly = false
  local buf = vim.api.nvim_get_current_buf()
  local main_uri = vim.uri_from_bufnr(buf)
  vim.lsp.buf_attach_client(buf, client_id)
  if not vim.wait(CEILING, function() return published[main_uri] end, 5) then
    return fail('no diagnostics after opening the program')
  end

  -- The line whose file is missing (this project lacks one) is an error.
  local missing = nil
  for _, d in ipairs(vim.diagnostic.get(buf, { severity = vim.diagnostic.severity.ERROR })) do
    if d.message:find('cannot find the included file', 1, true) then missing = d end
  end
  if not missing then return fail('no error for the missing include') end
  local missing_line = vim.api.nvim_buf_get_lines(buf, missing.lnum, missing.lnum + 1, true)[1]
  if not missing_line:lower():find('^#include') then return fail('the error stands on ' .. missing_line) end
  note('missing include on line ' .. (missing.lnum + 1) .. ': ' .. missing.message)

  local function reply_to(target, method, params)
    local replies, err = vim.lsp.buf_request_sync(target, method, params, CEILING)
    if not replies then fail(method .. ': ' .. tostring(err)) return nil end
    local reply = replies[client_id]
    if not reply then fail(method .. ': no reply') return nil end
    if reply.error then fail(method .. ': ' .. vim.inspect(reply.error)) return nil end
    return reply.result
  end
  local function request(method, params) return reply_to(buf, method, params) end

  local function position_params(pos)
    return { textDocument = { uri = main_uri }, position = pos }
  end

  -- The text a location covers, from its buffer (loaded when need be).
  local function text_at(loc)
    local b = vim.uri_to_bufnr(loc.uri)
    vim.fn.bufload(b)
    local line = vim.api.nvim_buf_get_lines(b, loc.range.start.line, loc.range.start.line + 1, true)[1]
    local s = vim.str_byteindex(line, loc.range.start.character, true)
    local e = vim.str_byteindex(line, loc.range['end'].character, true)
    return line:sub(s + 1, e), line
  end

  -- A call in the main file of a SUB or FUNCTION that an included file
  -- defines.
  local call, header, name
  local lines = vim.api.nvim_buf_get_lines(buf, 0, -1, true)
  for i, line in ipairs(lines) do
    local lead, word = line:match('^(%s*)([%a_][%w_]*)%(')
    if word and not word:lower():match('^sub$') and not word:lower():match('^function$') then
      local pos = { line = i - 1, character = #lead }
      local defs = request('textDocument/definition', position_params(pos))
      if defs == nil and exit_code then return end
      if defs and #defs == 1 and defs[1].uri ~= main_uri then
        call, header, name = pos, defs[1], word
        break
      end
    end
  end
  if not call then return fail('no call in the main file leads into an included file') end
  local named, header_line = text_at(header)
  if named:lower() ~= name:lower() or not header_line:lower():match('^%s*sub') and not header_line:lower():match('^%s*function') then
    return fail('definition of ' .. name .. ' lands on: ' .. header_line)
  end
  note(string.format('%s on line %d goes to %s line %d', name, call.line + 1,
    vim.fn.fnamemodify(vim.uri_to_fname(header.uri), ':t'), header.range.start.line + 1))

  for _, d in ipairs(vim.diagnostic.get(buf)) do
    if d.message:find("'" .. name .. "'", 1, true) then return fail('a diagnostic names ' .. name .. ': ' .. d.message) end
  end

  local function references()
    return request('textDocument/references',
      vim.tbl_extend('force', position_params(call), { context = { includeDeclaration = true } }))
  end
  local all = references()
  if not all then return end
  local uris = {}
  for _, loc in ipairs(all) do
    uris[loc.uri] = true
    if text_at(loc):lower() ~= name:lower() then return fail('a reference reads ' .. text_at(loc)) end
  end
  if vim.tbl_count(uris) < 2 then return fail('references of ' .. name .. ' stay in one file') end
  note(#all .. ' references in ' .. vim.tbl_count(uris) .. ' files')

  -- The rename edits every file; the client opens those it edits and keeps
  -- the server in step with them, so the server reads the included file
  -- from its buffer from then on.
  local new_name = 'VpRenamed' .. name
  local edit = request('textDocument/rename', vim.tbl_extend('force', position_params(call), { newName = new_name }))
  if not edit then return end
  local edited = 0
  for uri, _ in pairs(edit.changes or {}) do
    edited = edited + 1
    local b = vim.uri_to_bufnr(uri)
    vim.fn.bufload(b)
    vim.bo[b].readonly = false
    if b ~= buf then vim.lsp.buf_attach_client(b, client_id) end
  end
  if edited ~= vim.tbl_count(uris) then return fail('the rename edits ' .. edited .. ' files of ' .. vim.tbl_count(uris)) end
  vim.lsp.util.apply_workspace_edit(edit, 'utf-16')
  if not vim.wait(CEILING, function() return published[header.uri] end, 5) then
    return fail('no diagnostics for the included file once open')
  end
  local after = references()
  if not after then return end
  if #after ~= #all then return fail(string.format('%d references before the rename, %d after', #all, #after)) end
  for _, loc in ipairs(after) do
    if text_at(loc) ~= new_name then return fail('after the rename a reference reads ' .. text_at(loc)) end
  end

  vim.lsp.stop_client(client_id)
  if not vim.wait(CEILING, function() return exit_code ~= nil end, 5) then return fail('the server did not exit') end
  if exit_code ~= 0 then return fail('the server exited with code ' .. exit_code) end
  note('ok')
end

local ok, err = xpcall(main, debug.traceback)
if not ok then fail(tostring(err)) end
vim.cmd('qall!')
