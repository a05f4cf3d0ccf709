// The program the extension starts, on Windows and elsewhere, found as the
// setting, PATH and the extension's folder say: node --test find_server.test.js
const test = require('node:test');
const assert = require('node:assert');
const { serverCommand } = require('./find_server');

test('the setting, else PATH, else beside the extension, else the bare name', () => {
  const files = new Set([
    'C:\\Tools\\vennikplus-cli.exe',
    'C:\\Users\\ana\\.vscode\\extensions\\vennikplus\\vennikplus-cli.exe',
    '/opt/vp/bin/vennikplus-cli',
  ]);
  const exists = (p) => files.has(p);
  const windows = {
    env: { Path: 'C:\\Windows;"C:\\Tools";' },
    extensionPath: 'C:\\Users\\ana\\.vscode\\extensions\\vennikplus',
    platform: 'win32',
    exists,
  };
  assert.strictEqual(serverCommand({ ...windows, setting: 'D:\\vp\\vennikplus-cli.exe' }), 'D:\\vp\\vennikplus-cli.exe');
  assert.strictEqual(serverCommand({ ...windows, setting: '' }), 'C:\\Tools\\vennikplus-cli.exe');
  assert.strictEqual(
    serverCommand({ ...windows, setting: '', env: { PATH: 'C:\\Windows' } }),
    'C:\\Users\\ana\\.vscode\\extensions\\vennikplus\\vennikplus-cli.exe',
  );
  assert.strictEqual(serverCommand({ ...windows, setting: '', env: {}, extensionPath: 'C:\\x' }), 'vennikplus-cli.exe');

  const linux = { setting: '', extensionPath: '/home/ana/.vscode/extensions/vennikplus', platform: 'linux', exists };
  assert.strictEqual(serverCommand({ ...linux, env: { PATH: '/usr/bin:/opt/vp/bin' } }), '/opt/vp/bin/vennikplus-cli');
  // PATH is case-sensitive outside Windows.
  assert.strictEqual(serverCommand({ ...linux, env: { Path: '/opt/vp/bin' } }), 'vennikplus-cli');
});
