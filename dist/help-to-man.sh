#!/usr/bin/env bash
# help-to-man.sh PAGE PROGRAM SUMMARY SEE_ALSO [DESCRIPTION]
#
# Writes the manual page PAGE of PROGRAM from its own --help and --version, so
# that the page lists exactly the commands and options the program knows.
# The help's shape: a "usage: NAME ..." line; plain paragraphs; "heading:"
# lines that open a section; entries indented by two spaces, described
# either on the next line (indented further) or after a gap of two spaces.
set -euo pipefail

page=$1 program=$2 summary=$3 see_also=$4 description=${5:-}
name=${program##*/}
help=$("$program" --help)
version=$("$program" --version)
version=${version##* }

awk -v name="$name" -v summary="$summary" -v version="$version" \
    -v see_also="$see_also" -v description="$description" '
  # roff takes a backslash as an escape, a leading dot or quote as a
  # request, and a plain "-" as a hyphen that may not be copied as a minus.
  function esc(text) {
    gsub(/\\/, "\\e", text)
    gsub(/-/, "\\-", text)
    if (text ~ /^[.\047]/) text = "\\&" text
    return text
  }
  # The words a person types as they are (command words, options) in bold,
  # up to the first placeholder or bracket.
  function term(text,   n, words, i, bold, rest) {
    n = split(text, words, " ")
    for (i = 1; i <= n && words[i] ~ /^-*[a-z0-9][a-z0-9-]*,?$/; i++)
      bold = bold (bold == "" ? "" : " ") words[i]
    for (; i <= n; i++) rest = rest " " words[i]
    return bold == "" ? esc(text) : "\\fB" esc(bold) "\\fR" esc(rest)
  }
  function section(title) {
    print ".SH " toupper(title)
    current = toupper(title)
    listing = 0
  }
  # Entries before any heading are the options of a program without commands.
  function entry(text) {
    if (current == "DESCRIPTION") section("options")
    print ".TP"
    print term(text)
    listing = 1
    pending = 0
  }
  BEGIN {
    print ".\\\" Generated from " name " --help; edit the program, not this page."
    printf ".TH %s 1 \"\" \"%s %s\" \"User Commands\"\n", toupper(name), name, version
    # Options and file names read wrong when split at a hyphen.
    print ".nh"
    section("name")
    print esc(name) " \\- " esc(summary)
  }
  NR == 1 && /^usage: / {
    section("synopsis")
    sub(/^usage: [^ ]+ ?/, "")
    print "\\fB" esc(name) "\\fR " esc($0)
    section("description")
    if (description != "") print esc(description)
    pending = description != ""
    next
  }
  /^$/ { pending = 1; next }
  /^[a-z][a-z ]*:$/ { sub(/:$/, ""); section($0); pending = 0; next }
  # "exit status: ..." on one line: a section of one paragraph.
  /^[a-z][a-z ]*: / {
    title = $0
    sub(/: .*/, "", title)
    sub(/^[^:]*: /, "")
    section(title)
    print esc($0)
    pending = 0
    next
  }
  # An entry, its description on the lines below or after a gap of two spaces.
  /^  [^ ]/ {
    text = substr($0, 3)
    if (match(text, /  +/)) {
      entry(substr(text, 1, RSTART - 1))
      print esc(substr(text, RSTART + RLENGTH))
    } else {
      entry(text)
    }
    next
  }
  /^   / && listing { sub(/^ +/, ""); print esc($0); next }
  {
    if (pending || listing) print ".PP"
    print esc($0)
    listing = 0
    pending = 0
  }
  END {
    if (see_also != "") { section("see also"); print esc(see_also) }
  }
' <<<"$help" >"$page.tmp"
mv "$page.tmp" "$page"
