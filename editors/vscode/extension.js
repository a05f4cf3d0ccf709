// Starts `vennikplus-cli lsp` for BASIC files (.bas and the .inc files they
// include) and hands it to VS Code's language client.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');
const { serverCommand } = require('./find_server');

let client;

function activate(context) {
  const config = vscode.workspace.getConfiguration('vennikplus');
  const command = serverCommand({
    setting: config.get('command'),
    env: process.env,
    extensionPath: context.extensionPath,
    platform: process.platform,
  });
  const server = { command, args: ['lsp', ...config.get('arguments')] };
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
