// Starts `vennikplus-cli lsp` for BASIC files and hands it to VS Code's
// language client.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate() {
  const config = vscode.workspace.getConfiguration('vennikplus');
  const server = { command: config.get('command'), args: ['lsp', ...config.get('arguments')] };
  client = new LanguageClient('vennikplus', 'VennikPlus', server, {
    documentSelector: [{ scheme: 'file', language: 'basic' }, { scheme: 'untitled', language: 'basic' }],
    // The keyword list at the start, and again whenever the setting changes.
    initializationOptions: { keywords: config.get('keywords') },
    synchronize: { configurationSection: 'vennikplus' },
  });
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
