-- Neovim's own LSP client drives `vennikplus-cli lsp` on a real program:
-- diagnostics, definition, references, prepareRename and rename, then a
-- clean shutdown. Every wait ends on an event (a response, a notification,
-- the server's exit); the time given to each is only a ceiling.
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
  local published = 0
  vim.lsp.handlers['textDocument/publishDiagnostics'] = function(err, result, ctx, config)
    published = published + 1
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
  -- The corpus may be read-only; the buffer is changed but never written.
  vim.bo.readonly = false
  local buf = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(buf, client_id)
  if not vim.wait(CEILING, function() return published > 0 end, 5) then
    return fail('no diagnostics after opening the program')
  end
  note('diagnostics: ' .. #vim.diagnostic.get(buf))

  local function reply_to(method, params)
    local replies, err = vim.lsp.buf_request_sync(buf, method, params, CEILING)
    if not replies then fail(method .. ': ' .. tostring(err)) return nil end
    local reply = replies[client_id]
    if not reply then fail(method .. ': no reply') return nil end
    return reply
  end

  local function request(method, params)
    local reply = reply_to(method, params)
    if not reply then return nil end
    if reply.error then fail(method .. ': ' .. vim.inspect(reply.error)) return nil end
    return reply.result
  end

  local function position_params(pos)
    return { textDocument = { uri = vim.uri_from_bufnr(buf) }, position = pos }
  end

  -- The text a location covers, read from the buffer (positions in UTF-16).
  local function text_at(range)
    local line = vim.api.nvim_buf_get_lines(buf, range.start.line, range.start.line + 1, true)[1]
    local s = vim.str_byteindex(line, range.start.character, true)
    local e = vim.str_byteindex(line, range['end'].character, true)
    return line:sub(s + 1, e)
  end

  -- A SUB or FUNCTION that is called somewhere other than its header.
  local symbols = request('textDocument/documentSymbol', { textDocument = { uri = vim.uri_from_bufnr(buf) } })
  if not symbols then return end
  local target, calls
  for _, sym in ipairs(symbols) do
    if sym.detail == 'sub' or sym.detail == 'function' then
      local refs = request('textDocument/references',
        vim.tbl_extend('force', position_params(sym.selectionRange.start), { context = { includeDeclaration = false } }))
      if refs == nil then return end
      if #refs > 0 then target, calls = sym, refs break end
    end
  end
  if not target then return fail('no SUB or FUNCTION with a call in ' .. program) end
  note(string.format('%s %s: header line %d, %d calls', target.detail, target.name,
    target.selectionRange.start.line + 1, #calls))

  -- Definition: from a call to the header.
  local call = calls[1]
  local defs = request('textDocument/definition', position_params(call.range.start))
  if not defs then return end
  if #defs < 1 or defs[1].range.start.line ~= target.selectionRange.start.line then
    return fail('definition of the call on line ' .. (call.range.start.line + 1) .. ' is ' .. vim.inspect(defs))
  end

  -- References from the call, with the header, all naming the target.
  local all = request('textDocument/references',
    vim.tbl_extend('force', position_params(call.range.start), { context = { includeDeclaration = true } }))
  if not all then return end
  if #all ~= #calls + 1 then return fail(string.format('%d references with the header, %d without', #all, #calls)) end
  for _, loc in ipairs(all) do
    if text_at(loc.range):lower() ~= target.name:lower() then
      return fail('a reference on line ' .. (loc.range.start.line + 1) .. ' reads ' .. text_at(loc.range))
    end
  end

  -- Rename from the call, applied by the client; the server then finds the
  -- new name at every place the old one stood.
  local prepared = request('textDocument/prepareRename', position_params(call.range.start))
  if not prepared or text_at(prepared.range):lower() ~= target.name:lower() then
    return fail('prepareRename gave ' .. vim.inspect(prepared))
  end
  local refused = reply_to('textDocument/rename',
    vim.tbl_extend('force', position_params(call.range.start), { newName = 'print' }))
  if not refused then return end
  if not refused.error then return fail('rename to the keyword print was not refused') end
  note('refused: ' .. refused.error.message)

  local new_name = 'VpRenamed_' .. target.name
  local edit = request('textDocument/rename',
    vim.tbl_extend('force', position_params(call.range.start), { newName = new_name }))
  if not edit then return end
  vim.lsp.util.apply_workspace_edit(edit, 'utf-16')
  -- The header's name starts where it did; ask from there, with the new text
  -- synchronised first by the client.
  local after = request('textDocument/references',
    vim.tbl_extend('force', position_params(target.selectionRange.start), { context = { includeDeclaration = true } }))
  if not after then return end
  if #after ~= #all then return fail(string.format('%d references before the rename, %d after', #all, #after)) end
  for _, loc in ipairs(after) do
    if text_at(loc.range) ~= new_name then
      return fail('after the rename, line ' .. (loc.range.start.line + 1) .. ' reads ' .. text_at(loc.range))
    end
  end

  -- Shutdown and exit as the client does them: the server ends with code 0.
  vim.lsp.stop_client(client_id)
  if not vim.wait(CEILING, function() return exit_code ~= nil end, 5) then return fail('the server did not exit') end
  if exit_code ~= 0 then return fail('the server exited with code ' .. exit_code) end
  note('ok')
end

-- An error in the script must end Neovim too, never leave it waiting.
local ok, err = xpcall(main, debug.traceback)
if not ok then fail(tostring(err)) end
vim.cmd('qall!')
