-- Neovim's own LSP client drives `vennikplus-cli lsp` on a program of
-- several files and asks for what reads the program's shape: semantic
-- tokens (whole and as changes), call hierarchy both ways across files,
-- folding, signature help, highlights, workspace symbols, the declaring fix
-- applied as the client applies it, and completion of a half-typed word.
-- Every wait ends on an event; the time given to each is only a ceiling.
local cli = os.getenv('VENNIK_CLI')
local program = os.getenv('VENNIK_PROGRAM')
local settings = os.getenv('VENNIK_SETTINGS')
local CEILING = 60000

local function note(msg) io.stderr:write(msg .. '\n') end
local function check(ok, msg) if not ok then error(msg, 0) end end

local function main()
  local published, latest = {}, {}
  vim.lsp.handlers['textDocument/publishDiagnostics'] = function(err, result, ctx, config)
    published[result.uri] = (published[result.uri] or 0) + 1
    latest[result.uri] = result.diagnostics
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
  check(client_id, 'the client did not start the server')

  vim.cmd('edit ' .. vim.fn.fnameescape(program))
  vim.bo.readonly = false
  local buf = vim.api.nvim_get_current_buf()
  local uri = vim.uri_from_bufnr(buf)
  vim.lsp.buf_attach_client(buf, client_id)
  check(vim.wait(CEILING, function() return published[uri] end, 5), 'no diagnostics after opening the program')
  local caps = vim.lsp.get_client_by_id(client_id).server_capabilities

  local function request(method, params)
    local replies, err = vim.lsp.buf_request_sync(buf, method, params, CEILING)
    check(replies, method .. ': ' .. tostring(err))
    local reply = replies[client_id]
    check(reply, method .. ': no reply')
    check(not reply.error, method .. ': ' .. vim.inspect(reply.error))
    return reply.result
  end
  local function lines() return vim.api.nvim_buf_get_lines(buf, 0, -1, true) end
  local function at(line, character)
    return { textDocument = { uri = uri }, position = { line = line, character = character } }
  end
  local function document() return { textDocument = { uri = uri } } end
  -- The lines of this program are ASCII: a column is a byte.
  local function text_of(range)
    local line = lines()[range.start.line + 1]
    return line:sub(range.start.character + 1, range['end'].character)
  end

  -- Semantic tokens, decoded with the legend the server declared.
  local legend = caps.semanticTokensProvider.legend
  local function decode(data)
    local all, text, line, start = {}, lines(), 0, 0
    for i = 1, #data, 5 do
      if data[i] ~= 0 then start = 0 end
      line, start = line + data[i], start + data[i + 1]
      all[#all + 1] = { line = line, text = text[line + 1]:sub(start + 1, start + data[i + 2]),
                        type = legend.tokenTypes[data[i + 3] + 1] }
    end
    return all
  end
  local full = request('textDocument/semanticTokens/full', document())
  local kinds = {}
  for _, t in ipairs(decode(full.data)) do kinds[t.type] = (kinds[t.type] or 0) + 1 end
  for _, kind in ipairs({ 'function', 'keyword', 'parameter', 'constant', 'variable' }) do
    check(kinds[kind], 'no semantic token of type ' .. kind)
  end
  note(string.format('semantic tokens: %d functions, %d keywords, %d parameters, %d constants, %d variables',
    kinds['function'], kinds.keyword, kinds.parameter, kinds.constant, kinds.variable))
  -- A comment line at the top: the changes sent make the whole again.
  vim.api.nvim_buf_set_lines(buf, 0, 0, true, { "' a line the tokens move under" })
  local delta = request('textDocument/semanticTokens/full/delta',
    { textDocument = { uri = uri }, previousResultId = full.resultId })
  check(delta.edits, 'no edits in the change of semantic tokens')
  local data = vim.deepcopy(full.data)
  for _, e in ipairs(delta.edits) do
    local kept = {}
    for i = 1, e.start do kept[#kept + 1] = data[i] end
    for _, n in ipairs(e.data or {}) do kept[#kept + 1] = n end
    for i = e.start + e.deleteCount + 1, #data do kept[#kept + 1] = data[i] end
    data = kept
  end
  check(vim.deep_equal(data, request('textDocument/semanticTokens/full', document()).data),
    'the changes of semantic tokens do not make the whole')

  -- Call hierarchy: a SUB of an included file called from the main file.
  local item
  for i, line in ipairs(lines()) do
    local lead, name = line:match('^(%s*)([%a_][%w_.]*)%(')
    if name and name:lower() ~= 'sub' and name:lower() ~= 'function' then
      local items = request('textDocument/prepareCallHierarchy', at(i - 1, #lead))
      if items and #items == 1 and items[1].uri ~= uri then
        item = items[1]
        break
      end
    end
  end
  check(item, 'no call in the main file of a SUB of an included file')
  local from_main = false
  for _, c in ipairs(request('callHierarchy/incomingCalls', { item = item })) do
    from_main = from_main or c.from.uri == uri
  end
  check(from_main, item.name .. ' has no caller in the main file')
  local calls_out
  for i, line in ipairs(lines()) do
    local lead, name = line:match('^(%s*[sS][uU][bB]%s+)([%a_][%w_.]*)')
    if name then
      local items = request('textDocument/prepareCallHierarchy', at(i - 1, #lead))
      for _, c in ipairs(items and request('callHierarchy/outgoingCalls', { item = items[1] }) or {}) do
        if c.to.uri ~= uri then
          check(text_of(c.fromRanges[1]):lower() == c.to.name:lower(), 'an outgoing call reads ' .. text_of(c.fromRanges[1]))
          calls_out = name .. ' calls ' .. c.to.name
        end
      end
    end
    if calls_out then break end
  end
  check(calls_out, 'no SUB of the main file calls into an included file')
  note('call hierarchy: ' .. item.name .. ' called from the main file; ' .. calls_out)

  -- Folding: a SUB folds to the line before its END SUB.
  local folded
  for _, r in ipairs(request('textDocument/foldingRange', document())) do
    local first, after = lines()[r.startLine + 1], lines()[r.endLine + 2]
    if first:lower():match('^%s*sub ') and after and after:lower():match('^%s*end sub') then folded = r end
  end
  check(folded, 'no SUB folds')

  -- Signature help after the first argument of a call.
  local signature
  for i, line in ipairs(lines()) do
    local name, comma = line:match('([%a_][%w_.]*)%([^(),"]+,%s*()')
    if name then
      local help = request('textDocument/signatureHelp', at(i - 1, comma - 1))
      if help and help.signatures[1].label:find(name, 1, true) then
        check(help.activeParameter == 1, 'signature help of ' .. name .. ' at parameter ' .. tostring(help.activeParameter))
        signature = help.signatures[1].label
        break
      end
    end
  end
  check(signature, 'no signature help in any call')
  note('signature help: ' .. signature)

  -- Highlights: a name given a value from itself is written, then read.
  local highlighted
  for i, line in ipairs(lines()) do
    local lead, name = line:match('^(%s*)([%a_][%w_]*)%s*=')
    if name and line:sub(#lead + #name + 1):find(name, 1, true) then
      local kinds_here = {}
      for _, h in ipairs(request('textDocument/documentHighlight', at(i - 1, #lead)) or {}) do
        if h.range.start.line == i - 1 then kinds_here[#kinds_here + 1] = h.kind end
      end
      if kinds_here[1] == 3 and kinds_here[2] == 2 then
        highlighted = name
        break
      end
    end
  end
  check(highlighted, 'no name highlighted as written, then read')

  -- Workspace symbols find the SUB of the included file by part of its name.
  local found = false
  for _, s in ipairs(request('workspace/symbol', { query = item.name:sub(1, 6) })) do
    found = found or (s.name == item.name and s.location.uri == item.uri)
  end
  check(found, 'workspace symbols do not find ' .. item.name)

  -- The declaring fix, applied as the client applies it, clears the error.
  local last = #lines()
  vim.api.nvim_buf_set_lines(buf, last, last, true, { 'vpUndeclared = 1' })
  local undeclared
  check(vim.wait(CEILING, function()
    for _, d in ipairs(latest[uri] or {}) do
      if d.message:find("'vpUndeclared'", 1, true) then undeclared = d end
    end
    return undeclared
  end, 5), 'no error for the undeclared name')
  local actions = request('textDocument/codeAction',
    { textDocument = { uri = uri }, range = undeclared.range, context = { diagnostics = { undeclared } } })
  check(#actions == 1 and actions[1].kind == 'quickfix', 'code actions: ' .. vim.inspect(actions))
  vim.lsp.util.apply_workspace_edit(actions[1].edit, 'utf-16')
  check(vim.wait(CEILING, function()
    for _, d in ipairs(latest[uri] or {}) do
      if d.message:find("'vpUndeclared'", 1, true) then return false end
    end
    return true
  end, 5), 'the fix leaves the error')
  note('fixed: ' .. actions[1].title)

  -- Completion of a half-typed word: what begins with it, not the word.
  last = #lines()
  vim.api.nvim_buf_set_lines(buf, last, last, true, { 'vpUndeclared = vpUnd' })
  local result = request('textDocument/completion', at(last, #'vpUndeclared = vpUnd'))
  local items = result.items or result
  check(#items > 0 and items[1].label == 'vpUndeclared' and items[1].kind == 6,
    'completion begins with ' .. vim.inspect(items[1]))
  for _, it in ipairs(items) do
    check(it.label:lower():sub(1, 5) == 'vpund' and it.label ~= 'vpUnd', 'completion offers ' .. it.label)
  end
  local typed = item.name:sub(1, 4)
  vim.api.nvim_buf_set_lines(buf, last, last + 1, true, { typed })
  result = request('textDocument/completion', at(last, #typed))
  local sub
  for _, it in ipairs(result.items or result) do
    if it.label == item.name then sub = it end
  end
  check(sub and sub.kind == 3 and sub.detail == 'sub', 'completion of ' .. typed .. ': ' .. vim.inspect(sub))
  note('completion: ' .. #items .. ' items for vpUnd, ' .. #(result.items or result) .. ' for ' .. typed)

  vim.lsp.stop_client(client_id)
  check(vim.wait(CEILING, function() return exit_code ~= nil end, 5), 'the server did not exit')
  check(exit_code == 0, 'the server exited with code ' .. tostring(exit_code))
  note('ok')
end

local ok, err = xpcall(main, debug.traceback)
if not ok then
  io.stderr:write('FAIL: ' .. tostring(err) .. '\n')
  vim.cmd('cquit 1')
end
vim.cmd('qall!')
