#!/usr/bin/env python3
"""Checks that every external program the project calls is on tools/programs.txt
(the list tools/setup-debian.sh installs from) and is installed on this machine.

Looked at: the commands of every shell script under tools/, tests/ and .ci/
(files ending in .sh and files with a sh/bash shebang), the programs CMake
files look up with find_program or run in add_test, and the programs C++
sources start by name (posix_spawnp, execlp, execvp, popen, system).

usage: programs_check.py REPO_ROOT
Exits 1 naming each program that is called but not listed, and each listed
program that is not installed; 0 when both hold.
"""
import os
import re
import shutil
import subprocess
import sys

SHELL_WORDS = {
    # keywords
    "if", "then", "elif", "else", "fi", "do", "done", "while", "until", "for",
    "case", "esac", "in", "function", "select", "!", "{", "}", "[[", "]]",
    # builtins of sh and bash
    ".", ":", "[", "alias", "bg", "break", "builtin", "cd", "command",
    "continue", "declare", "echo", "eval", "exec", "exit", "export", "false",
    "fg", "getopts", "hash", "jobs", "kill", "let", "local", "printf", "pwd",
    "read", "readonly", "return", "set", "shift", "source", "test", "times",
    "trap", "true", "type", "typeset", "ulimit", "umask", "unalias", "unset",
    "wait", "mapfile", "readarray", "pushd", "popd", "shopt",
}
# Commands that run the program named after their own options.
WRAPPERS = {"env", "nice", "timeout", "nohup", "sudo", "xargs", "command", "exec", "time", "xvfb-run"}
SEPARATORS = {";", "&&", "||", "|", "&", "(", ")", "`", "|&", "{", "}"}


def script_files(root):
    for top in ("tools", "tests", ".ci"):
        for base, dirs, files in os.walk(os.path.join(root, top)):
            for name in files:
                path = os.path.join(base, name)
                if name.endswith(".sh"):
                    yield path
                    continue
                try:
                    with open(path, "rb") as f:
                        first = f.readline()
                except OSError:
                    continue
                if re.match(rb"#!\s*\S*(/|env\s+)(ba)?sh\b", first):
                    yield path


def drop_heredocs(text):
    """The script without the bodies of its here-documents."""
    lines = text.split("\n")
    out, i = [], 0
    while i < len(lines):
        line = lines[i]
        out.append(line)
        i += 1
        for m in re.finditer(r"<<-?\s*(['\"]?)(\w+)\1", line):
            while i < len(lines) and lines[i].strip() != m.group(2):
                i += 1
            i += 1
    return "\n".join(out)


def skip_to_close(text, i, opening="(", closing=")"):
    """Index just past the bracket that closes the one before text[i]."""
    depth = 1
    while i < len(text) and depth:
        c = text[i]
        if c == "\\":
            i += 1
        elif c == "'":
            i = text.find("'", i + 1)
            if i < 0:
                return len(text)
        elif c == opening:
            depth += 1
        elif c == closing:
            depth -= 1
        i += 1
    return i


def lex(text, nested):
    """Shell words and operators; a newline is ';'. The texts of command
    substitutions found inside double quotes go to `nested`."""
    toks, word, quoted, i = [], "", False, 0

    def end_word():
        nonlocal word, quoted
        if word or quoted:
            toks.append(word if not quoted else "'" + word)
        word, quoted = "", False

    while i < len(text):
        c = text[i]
        if c == "\\":
            word += text[i + 1:i + 2]
            i += 2
        elif c == "'":
            j = text.find("'", i + 1)
            j = len(text) if j < 0 else j
            if not word:
                quoted = True
            word += text[i + 1:j]
            i = j + 1
        elif c == '"':
            if not word:
                quoted = True
            i += 1
            while i < len(text) and text[i] != '"':
                if text[i] == "\\":
                    i += 1
                elif text.startswith("$(", i) and not text.startswith("$((", i):
                    j = skip_to_close(text, i + 2)
                    nested.append(text[i + 2:j - 1])
                    i = j
                    continue
                word += text[i:i + 1]
                i += 1
            i += 1
        elif c == "#" and not word and not quoted:
            j = text.find("\n", i)
            i = len(text) if j < 0 else j
        elif c in " \t":
            end_word()
            i += 1
        elif c == "\n":
            end_word()
            toks.append(";")
            i += 1
        elif text.startswith("$((", i) or text.startswith("((", i) and not word:
            j = skip_to_close(text, i + (3 if c == "$" else 2))
            j = skip_to_close(text, j) if j < len(text) and text[j - 1] == ")" and text[j:j + 1] == ")" else j
            word += "$" if c == "$" else ""
            i = j
        elif text.startswith("$(", i):
            end_word() if not word else None
            j = skip_to_close(text, i + 2)
            nested.append(text[i + 2:j - 1])
            word += "$"
            i = j
        elif text.startswith("${", i):
            j = skip_to_close(text, i + 2, "{", "}")
            word += text[i:j]
            i = j
        elif c in ";&|()`<>":
            if c in "<>":
                if not (word.isdigit() or not word):
                    end_word()
                word = ""
                op = re.match(r"[<>]+&?-?", text[i:]).group(0)
                toks.append(">")
                i += len(op)
                continue
            end_word()
            op = text[i:i + 2] if text[i:i + 2] in (";;", "&&", "||", "|&") else c
            toks.append(op)
            i += len(op)
        else:
            word += c
            i += 1
    end_word()
    return toks


def commands_of_script(text):
    """The first word of every simple command, with wrappers looked through."""
    functions = set(re.findall(r"^\s*([A-Za-z_][\w-]*)\s*\(\)", text, re.M))
    found, pending = [], [drop_heredocs(text)]
    while pending:
        nested = []
        toks = lex(pending.pop(), nested)
        pending.extend(nested)
        expect, skip_next, case_state = True, False, []
        for i, t in enumerate(toks):
            if skip_next:  # the file of a redirection
                skip_next = False
                continue
            if t == ">":
                skip_next = True
                continue
            if t == "esac" and case_state:
                case_state.pop()
                expect = False
                continue
            if case_state and case_state[-1] == "pattern":
                if t == ")":
                    case_state[-1] = "body"
                    expect = True
                continue
            if t == ";;" and case_state:
                case_state[-1] = "pattern"
                continue
            if t in SEPARATORS or t in {"then", "do", "else", "elif", "if", "while", "until", "!"}:
                expect = True
                continue
            if t == "in" and i >= 2 and toks[i - 2] == "case":
                case_state.append("pattern")
                continue
            if not expect:
                continue
            if t in {"case", "for", "select"}:
                expect = False  # the words up to "in"/"do" are not commands
                continue
            if re.match(r"^[A-Za-z_]\w*(\[[^]]*\])?\+?=", t):
                continue  # an assignment before the command
            if t.startswith(("$", "'", "/", ".", "~", "-")):
                expect = False
                continue  # a program named by a variable or a path: the project's own
            if t in WRAPPERS:
                if t not in SHELL_WORDS:
                    found.append(t)
                continue
            if t in functions or t in SHELL_WORDS:
                expect = t in {"{", "!", "[[", "time"}
                continue
            if re.match(r"^[\d.]+[smh]?$", t):
                continue  # a wrapper's duration or count
            found.append(t)
            expect = False
    return found


def commands_of_cmake(text):
    found = re.findall(r"find_program\(\s*\w+\s+(?:NAMES\s+)?([\w.+-]+)", text)
    for m in re.finditer(r"add_test\(\s*NAME\s+\S+\s+COMMAND\s+(\S+)", text):
        word = m.group(1)
        if not word.startswith(("$", '"')):
            found.append(word)
    return found


def commands_of_cpp(text):
    return re.findall(r'\b(?:posix_spawnp\([^,]*,|execlp\(|execvp\(|popen\(|std::system\(|system\()\s*"([\w.+-]+)', text)


def listed(root):
    programs = {}
    with open(os.path.join(root, "tools", "programs.txt")) as f:
        for n, line in enumerate(f, 1):
            line = line.split("#", 1)[0].split()
            if not line:
                continue
            if len(line) != 2:
                sys.exit(f"tools/programs.txt:{n}: expected 'PROGRAM PACKAGE'")
            programs[line[0]] = line[1]
    return programs


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    programs = listed(root)
    targets = set()
    calls = {}  # program -> first place that calls it
    for path in script_files(root):
        with open(path, errors="replace") as f:
            for prog in commands_of_script(f.read()):
                calls.setdefault(prog, os.path.relpath(path, root))
    tracked = subprocess.run(["git", "-C", root, "ls-files"], capture_output=True, text=True).stdout.split()
    for rel in tracked:
        path = os.path.join(root, rel)
        if rel.endswith("CMakeLists.txt") or rel.endswith(".cmake"):
            with open(path, errors="replace") as f:
                text = f.read()
            targets.update(re.findall(r"add_(?:executable|custom_target)\(\s*([\w.+-]+)", text))
            for prog in commands_of_cmake(text):
                calls.setdefault(prog, rel)
        elif rel.endswith((".cpp", ".h")):
            with open(path, errors="replace") as f:
                for prog in commands_of_cpp(f.read()):
                    calls.setdefault(prog, rel)
    failures = 0
    for prog, where in sorted(calls.items()):
        if prog in targets or prog in programs:
            continue
        print(f"programs: '{prog}' (called in {where}) is not on tools/programs.txt, so tools/setup-debian.sh does not install it")
        failures += 1
    for prog, package in sorted(programs.items()):
        if shutil.which(prog) is None:
            print(f"programs: '{prog}' is not installed (package {package}; run tools/setup-debian.sh)")
            failures += 1
    print(f"programs: {len(calls)} programs called, {len(programs)} listed, {failures} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
