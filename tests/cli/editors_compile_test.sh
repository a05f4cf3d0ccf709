#!/usr/bin/env bash
# The board's error, as `run` prints it for editors, read by Emacs' compile
# and Neovim's :make with the settings docs/editors.md gives: each must land
# on the file and line of the program split over three files that the
# board's line came from. The board is running_board on a pseudo-terminal.
set -euo pipefail
cli=$1 board=$2 work=$3

for editor in emacs nvim; do
  command -v "$editor" > /dev/null || { echo "$editor is missing: run scripts/install-deps.sh --tests"; exit 1; }
done

rm -rf "$work" && mkdir -p "$work/pc/inc" "$work/drive"
cd "$work/pc"
printf "' the main program\r\n#INCLUDE \"inc/greet.inc\"\r\nPRINT \"main starts\"\r\n#INCLUDE \"inc/calc.inc\"\r\n" > main.bas
printf "' greetings\r\nPRINT \"hello\"\r\n\r\nPRINT \"again\"\r\n" > inc/greet.inc
printf "' calculations\r\nPRINT \"calc\"\r\n' the fault:\r\ntotal = 1/0\r\n" > inc/calc.inc
# An empty settings file: the line maps are kept beside it, here.
: > VennikPlus.inf

# The board reads its standard input until it ends; its first line is its port.
mkfifo "$work/keep" "$work/port"
"$board" "$work/drive" < "$work/keep" > "$work/port" &
board_pid=$!
exec 7> "$work/keep"
read -r port < "$work/port"
finish() { exec 7>&-; wait "$board_pid" || true; }
trap finish EXIT
run="$cli run --port $port --settings VennikPlus.inf --mode 2 main.bas"
failed=0

# Emacs: M-x compile, then the first error (next-error).
cat > "$work/compile.el" <<ELISP
(require 'compile)
(let ((default-directory "$work/pc/"))
  (compile "$run"))
(while (get-buffer-process "*compilation*") (accept-process-output nil 0.1))
(next-error)
(let ((buffer (window-buffer (selected-window))))
  (princ (format "landed %s:%d\n" (buffer-file-name buffer) (with-current-buffer buffer (line-number-at-pos)))))
ELISP
emacs_says=$(HOME=$work timeout 60 emacs --batch -Q -l "$work/compile.el" 2>&1) || true
if grep -qx "landed $work/pc/inc/calc.inc:4" <<< "$emacs_says"; then
  echo "emacs: landed on inc/calc.inc line 4"
else
  echo "emacs did not land on inc/calc.inc line 4:"; echo "$emacs_says"; failed=1
fi

# Neovim: makeprg and errorformat, then :make, which goes to the first error.
cat > "$work/make.vim" <<VIM
let &makeprg = '$run'
set errorformat=%f:%l:%c:\ %trror:\ %m,%-G%.%#
silent make
call writefile(['landed ' . expand('%') . ':' . line('.') . ' ' . len(getqflist())], '$work/nvim.txt')
qa!
VIM
HOME=$work timeout 60 nvim --headless --clean -n -i NONE -S "$work/make.vim" > /dev/null 2>&1 || true
nvim_says=$(cat "$work/nvim.txt" 2>/dev/null || echo "no answer")
if [ "$nvim_says" = "landed inc/calc.inc:4 1" ]; then
  echo "neovim: landed on inc/calc.inc line 4, one entry in the quickfix list"
else
  echo "neovim did not land on inc/calc.inc line 4: $nvim_says"; failed=1
fi
exit $failed
