// Which vennikplus-cli the extension starts: the one the setting
// `vennikplus.command` names, else the first on PATH, else the one beside
// the extension (where the Windows zip may be unpacked), else the bare name,
// so that VS Code's message says what it looked for. On Windows the program
// is vennikplus-cli.exe and PATH is split at ";".
const path = require('path');
const fs = require('fs');

function isFile(candidate) {
  try {
    return fs.statSync(candidate).isFile();
  } catch {
    return false;
  }
}

// `env` is the process's environment (Windows spells PATH as it likes);
// `exists` tells whether a file is there (the disk's answer by default).
function serverCommand({ setting, env, extensionPath, platform, exists = isFile }) {
  if (setting) return setting;
  const windows = platform === 'win32';
  const paths = windows ? path.win32 : path.posix;
  const name = windows ? 'vennikplus-cli.exe' : 'vennikplus-cli';
  const pathKey = Object.keys(env).find((k) => (windows ? k.toUpperCase() === 'PATH' : k === 'PATH'));
  const folders = pathKey ? env[pathKey].split(windows ? ';' : ':') : [];
  for (const folder of folders) {
    // A folder in quotes is one Windows allows.
    const unquoted = folder.replace(/^"(.*)"$/, '$1');
    if (!unquoted) continue;
    const candidate = paths.join(unquoted, name);
    if (exists(candidate)) return candidate;
  }
  for (const candidate of [paths.join(extensionPath, name), paths.join(extensionPath, 'bin', name)]) {
    if (exists(candidate)) return candidate;
  }
  return name;
}

module.exports = { serverCommand };
