#!/usr/bin/env bash
# Renders lpgm-match's report in headless Chromium: lpgm run on a copy of
# the bundled example, then lpgm-match --html on lpgm's two files. The page
# must load without errors, fit an A4-wide window without horizontal
# scrolling, give each of its six charts a real size, and render to PNG.
# Exits 77 (skipped) when Chromium is not installed.
#
#   report_renders_in_browser.sh LPGM LPGM_MATCH EXAMPLES_DIR WORK_DIR
set -euo pipefail

lpgm=$1 match=$2 examples=$3 work=$4
chromium=${CHROMIUM:-$(command -v chromium || command -v chromium-browser || true)}
if [[ -z "$chromium" ]]; then
  echo "chromium not found: skipped"
  exit 77
fi
fail() {
  echo "FAIL: $*"
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
cp -r "$examples" "$work/example"
(cd "$work/example" && printf 'definition.csv\n' | "$lpgm" > /dev/null) ||
  fail "lpgm on the example"
status=0
(cd "$work/example" && "$match" -o design.csv --html "$work/match.html") ||
  status=$?
(( status <= 1 )) || fail "lpgm-match: exit status $status"

browse() {
  local profile
  profile=$(mktemp -d "$work/profile.XXXXXX")
  timeout 120 "$chromium" --headless --no-sandbox --disable-gpu \
    --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --hide-scrollbars \
    --user-data-dir="$profile" "$@"
}

# A copy with a probe that writes, once loaded, the size of every chart and
# whether the page is wider than the window. The report has no script.
sed 's#</body>#<script>addEventListener("load", () => {\
  const sizes = [...document.querySelectorAll("svg")].map(s => {\
    const r = s.getBoundingClientRect();\
    return Math.round(r.width) + "x" + Math.round(r.height); });\
  const p = document.createElement("pre");\
  p.textContent = "PROBE charts=" + sizes.length + " sizes=" + sizes.join(",") +\
    " overflow=" + (document.documentElement.scrollWidth > innerWidth) + " END";\
  document.body.appendChild(p); });</script></body>#' "$work/match.html" \
  > "$work/probe.html"
browse --window-size=794,1123 --virtual-time-budget=5000 \
  --enable-logging=stderr --v=0 --dump-dom "file://$work/probe.html" \
  > "$work/dom.html" 2> "$work/log.txt" || fail "dump-dom"
if grep -E 'CONSOLE.*(Uncaught|Error)' "$work/log.txt"; then
  fail "errors while loading"
fi
line=$(grep -o 'PROBE [^<]* END' "$work/dom.html") ||
  fail "the page did not finish loading"
echo "$line"
[[ "$line" == *"charts=6 "* ]] || fail "expected 6 charts"
[[ "$line" == *"overflow=false"* ]] || fail "wider than an A4 window"
for size in $(sed 's/.*sizes=\([^ ]*\) .*/\1/' <<< "$line" | tr , ' '); do
  w=${size%x*} h=${size#*x}
  (( w >= 500 && h >= 100 )) || fail "a chart of $size px"
done
browse --window-size=794,3600 --screenshot="$work/match.png" \
  "file://$work/match.html" > /dev/null 2>&1 || fail "screenshot"
[[ "$(head -c 8 "$work/match.png" | od -An -tx1 | tr -d ' \n')" == \
   89504e470d0a1a0a ]] || fail "no PNG"
echo "the report renders in $("$chromium" --version 2>/dev/null || echo chromium)"
