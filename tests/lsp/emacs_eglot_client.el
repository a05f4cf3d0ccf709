;;; emacs_eglot_client.el --- eglot drives vennikplus-cli lsp  -*- lexical-binding: t -*-
;; Emacs's eglot, as Debian ships it, drives `vennikplus-cli lsp' on a
;; program of several files: the main file and an included one are open;
;; eglot's own completion, signature help, highlights, workspace symbols
;; (xref) and code actions are used as a user's commands use them, and the
;; requests eglot has no command for (semantic tokens, call hierarchy,
;; folding) go through its connection. Every wait ends on the server's
;; output; the time given to each is only a ceiling.

(dolist (dir (file-expand-wildcards "/usr/share/emacs/site-lisp/elpa/*" t))
  (add-to-list 'load-path dir))
(require 'eglot)
(require 'cl-lib)

(defconst vp-cli (getenv "VENNIK_CLI"))
(defconst vp-program (getenv "VENNIK_PROGRAM"))
(defconst vp-settings (getenv "VENNIK_SETTINGS"))
(defconst vp-ceiling 60)

(defun vp-note (fmt &rest args) (princ (concat (apply #'format fmt args) "\n") #'external-debugging-output))
(defun vp-fail (fmt &rest args)
  (vp-note "FAIL: %s" (apply #'format fmt args))
  (kill-emacs 1))
(defmacro vp-check (condition fmt &rest args) `(unless ,condition (vp-fail ,fmt ,@args)))

(define-derived-mode basic-mode prog-mode "BASIC")
(add-to-list 'auto-mode-alist '("\\.\\(bas\\|inc\\)\\'" . basic-mode))
(setq eglot-sync-connect t
      eglot-connect-timeout vp-ceiling
      eglot-autoshutdown nil
      eglot-confirm-server-initiated-edits nil)

(defun vp-wait (what predicate)
  "Handles the server's messages until PREDICATE holds."
  (let ((deadline (+ (float-time) vp-ceiling)))
    (while (and (not (funcall predicate)) (< (float-time) deadline))
      (accept-process-output (jsonrpc--process (eglot--current-server-or-lose)) 0.05)))
  (vp-check (funcall predicate) "no %s" what))

(defun vp-request (method params)
  (jsonrpc-request (eglot--current-server-or-lose) method params :timeout vp-ceiling))

(defun vp-position (line column)
  (list :textDocument (eglot--TextDocumentIdentifier) :position (list :line line :character column)))

(defun vp-diagnostics-mentioning (text)
  (cl-remove-if-not (lambda (d) (string-search text (flymake-diagnostic-text d))) (flymake-diagnostics)))

(defun vp-sync ()
  "Sends the buffer's changes now, as eglot does when Emacs is idle."
  (eglot--signal-textDocument/didChange)
  (flymake-start))

(defun vp-token-types (data)
  "Counts of the token types in DATA, by the legend's names."
  (let* ((legend (plist-get (plist-get (eglot--capabilities (eglot--current-server-or-lose))
                                       :semanticTokensProvider)
                            :legend))
         (names (plist-get legend :tokenTypes))
         (counts nil))
    (vp-check (zerop (% (length data) 5)) "semantic tokens are not in fives")
    (cl-loop for i from 3 below (length data) by 5
             do (let ((name (aref names (aref data i))))
                  (setf (alist-get name counts nil nil #'equal) (1+ (alist-get name counts 0 nil #'equal)))))
    counts))

(defun vp-main ()
  (find-file vp-program)
  (setq buffer-read-only nil)
  (let ((main (current-buffer))
        (main-uri (eglot--path-to-uri vp-program)))
    (eglot '(basic-mode) (cons 'transient (file-name-directory vp-program)) 'eglot-lsp-server
           (list vp-cli "lsp" "--settings" vp-settings) "basic")
    (flymake-start)
    (vp-wait "diagnostics" (lambda () (flymake-diagnostics)))
    (vp-note "connected; %d diagnostics" (length (flymake-diagnostics)))

    ;; Semantic tokens of the main file.
    (let ((counts (vp-token-types (plist-get (vp-request :textDocument/semanticTokens/full
                                                         (list :textDocument (eglot--TextDocumentIdentifier)))
                                             :data))))
      (dolist (kind '("function" "keyword" "parameter" "constant" "variable"))
        (vp-check (alist-get kind counts nil nil #'equal) "no semantic token of type %s" kind))
      (vp-note "semantic tokens: %S" counts))

    ;; Call hierarchy from a call of a SUB of an included file.
    (let (item)
      (goto-char (point-min))
      (while (and (not item) (re-search-forward "^\\s-*\\([A-Za-z_][A-Za-z0-9_.]*\\)(" nil t))
        (let* ((start (match-beginning 1))
               (items (vp-request :textDocument/prepareCallHierarchy
                                  (list :textDocument (eglot--TextDocumentIdentifier)
                                        :position (eglot--pos-to-lsp-position start)))))
          (when (and (vectorp items) (= (length items) 1)
                     (not (equal (plist-get (aref items 0) :uri) main-uri)))
            (setq item (aref items 0)))))
      (vp-check item "no call of a SUB of an included file")
      (let ((callers (vp-request :callHierarchy/incomingCalls (list :item item))))
        (vp-check (cl-some (lambda (c) (equal (plist-get (plist-get c :from) :uri) main-uri)) callers)
                  "%s has no caller in the main file" (plist-get item :name)))
      (vp-note "call hierarchy: %s is called from the main file" (plist-get item :name))

      ;; Folding ranges.
      (vp-check (> (length (vp-request :textDocument/foldingRange
                                       (list :textDocument (eglot--TextDocumentIdentifier))))
                   0)
                "no folding ranges")

      ;; Workspace symbols through xref, as M-x xref-find-apropos asks.
      (let* ((name (plist-get item :name))
             (found (xref-backend-apropos 'eglot (substring name 0 (min 6 (length name))))))
        (vp-check (cl-some (lambda (x) (string-search name (xref-item-summary x))) found)
                  "workspace symbols do not find %s" name))

      ;; The included file, opened beside: its tokens know the program.
      (let ((included (eglot--uri-to-path (plist-get item :uri))))
        (with-current-buffer (find-file-noselect included)
          (vp-check (eglot-current-server) "the included file is not managed by the server")
          (let ((counts (vp-token-types (plist-get (vp-request :textDocument/semanticTokens/full
                                                               (list :textDocument (eglot--TextDocumentIdentifier)))
                                                   :data))))
            (vp-check (alist-get "keyword" counts nil nil #'equal) "no keyword tokens in %s" included)
            (vp-note "semantic tokens of %s: %S" (file-name-nondirectory included) counts)))))

    ;; Signature help, as eglot's eldoc shows it.
    (switch-to-buffer main)
    (goto-char (point-min))
    (let (shown)
      (while (and (not shown) (re-search-forward "\\([A-Za-z_][A-Za-z0-9_.]*\\)([^(),\"\n]+, *" nil t))
        (let ((help (vp-request :textDocument/signatureHelp (eglot--TextDocumentPositionParams))))
          (when help
            (setq shown (eglot--sig-info (plist-get help :signatures) (plist-get help :activeSignature)
                                         (plist-get help :activeParameter))))))
      (vp-check shown "no signature help in any call")
      (vp-note "signature help: %s" (substring-no-properties shown)))

    ;; Highlights of a name, as eglot shows them beside eldoc.
    (goto-char (point-min))
    (vp-check (re-search-forward "^\\s-*\\([A-Za-z_][A-Za-z0-9_]*\\)\\s-*=.*\\_<\\1\\_>" nil t)
              "no name given a value from itself")
    (let ((name (match-string 1)))
      (goto-char (match-beginning 1))
      (setq eglot--highlights nil)
      (eglot--highlight-piggyback nil)
      (vp-wait "highlights" (lambda () eglot--highlights))
      (vp-note "highlights: %d places of %s" (length eglot--highlights) name))

    ;; The declaring fix, picked and applied as M-x eglot-code-actions does.
    (goto-char (point-max))
    (insert "\nvpUndeclared = 1\n")
    (vp-sync)
    (vp-wait "error for the undeclared name" (lambda () (vp-diagnostics-mentioning "'vpUndeclared'")))
    (let* ((diagnostic (car (vp-diagnostics-mentioning "'vpUndeclared'")))
           (actions (eglot-code-actions (flymake-diagnostic-beg diagnostic) (flymake-diagnostic-end diagnostic)
                                        "quickfix")))
      (vp-check (= (length actions) 1) "code actions: %S" actions)
      (eglot--read-execute-code-action actions (eglot--current-server-or-lose) "quickfix")
      (vp-note "fixed: %s" (plist-get (car actions) :title)))
    (vp-sync)
    (vp-wait "end of the error" (lambda () (null (vp-diagnostics-mentioning "'vpUndeclared'"))))

    ;; Completion of a half-typed word, through eglot's completion-at-point.
    (goto-char (point-max))
    (insert "vpUndeclared = vpUnd")
    (vp-sync)
    (let* ((capf (eglot-completion-at-point))
           (offered (all-completions "" (nth 2 capf))))
      (vp-check (equal (car offered) "vpUndeclared") "completion offers first %S" (car offered))
      (dolist (label offered)
        (vp-check (and (string-prefix-p "vpund" (downcase label)) (not (equal label "vpUnd")))
                  "completion offers %s" label))
      (vp-note "completion: %S" offered))

    ;; Nothing is written back to the program.
    (set-buffer-modified-p nil)
    (eglot-shutdown (eglot--current-server-or-lose))
    (vp-note "ok")))

(condition-case err
    (vp-main)
  (error (vp-fail "%s" (error-message-string err))))
(kill-emacs 0)
