// Starts `vennikplus-cli lsp` for BASIC files (.bas and the .inc files they
// include) and hands it to VS Code's language client.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate() {
  const config = vscode.workspace.getConfiguration('vennikplus');
  const server = { command: config.get('command'), args: ['lsp', ...config.get('arguments')] };
  client = new LanguageClient('vennikplus', 'VennikPlus', server, {
    documentSelector: [{ scheme: 'file', language: 'basic' }, { scheme: 'untitled', language: 'basic' }],
    // The keyword list and the reading at the start, and again whenever a
    // setting changes.
    initializationOptions: { keywords: config.get('keywords'), reading: config.get('reading') },
    synchronize: { configurationSection: 'vennikplus' },
  });
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
