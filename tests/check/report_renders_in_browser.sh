#!/usr/bin/env bash
# Renders the checker's reports in headless Chromium: the bundled example
# (through lpgm's own readers) and a synthetic largest input with awkward
# names. Each must load without errors, fit an A4-wide window without
# horizontal scrolling, give every chart a real size, and render to PNG and
# PDF. Exits 77 (skipped) when Chromium is not installed.
#
#   report_renders_in_browser.sh SAMPLE_PROGRAM EXAMPLES_DIR WORK_DIR
set -euo pipefail

sample=$1 examples=$2 work=$3
chromium=${CHROMIUM:-$(command -v chromium || command -v chromium-browser || true)}
if [[ -z "$chromium" ]]; then
  echo "chromium not found: skipped"
  exit 77
fi

rm -rf "$work"
mkdir -p "$work"

# One headless run with a fresh profile; extra flags follow.
browse() {
  local profile
  profile=$(mktemp -d "$work/profile.XXXXXX")
  timeout 120 "$chromium" --headless --no-sandbox --disable-gpu \
    --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --hide-scrollbars \
    --user-data-dir="$profile" "$@"
}

fail() {
  echo "FAIL: $*"
  exit 1
}

# A copy of the report with a probe that writes, once the page has loaded,
# the size of every chart and whether the page is wider than the window.
# The report itself has no script.
probe_copy() {
  local report=$1 probe=$2
  sed 's#</body>#<script>addEventListener("load", () => {\
  const sizes = [...document.querySelectorAll("svg")].map(s => {\
    const r = s.getBoundingClientRect();\
    return Math.round(r.width) + "x" + Math.round(r.height); });\
  const p = document.createElement("pre");\
  p.textContent = "PROBE charts=" + sizes.length + " sizes=" + sizes.join(",") +\
    " overflow=" + (document.documentElement.scrollWidth > innerWidth) + " END";\
  document.body.appendChild(p); });</script></body>#' "$report" > "$probe"
}

check_report() {
  local name=$1 charts=$2 report="$work/$1.html"
  [[ -s "$report" ]] || fail "$name: no report written"
  probe_copy "$report" "$work/$name-probe.html"
  browse --window-size=794,1123 --virtual-time-budget=5000 \
    --enable-logging=stderr --v=0 --dump-dom "file://$work/$name-probe.html" \
    > "$work/$name-dom.html" 2> "$work/$name-log.txt" || fail "$name: dump-dom"
  if grep -E 'CONSOLE.*(Uncaught|Error)' "$work/$name-log.txt"; then
    fail "$name: errors while loading"
  fi
  local line
  line=$(grep -o 'PROBE [^<]* END' "$work/$name-dom.html") ||
    fail "$name: the page did not finish loading"
  echo "$name: $line"
  [[ "$line" == *"charts=$charts "* ]] || fail "$name: expected $charts charts"
  [[ "$line" == *"overflow=false"* ]] || fail "$name: wider than an A4 window"
  local size w h
  for size in $(sed 's/.*sizes=\([^ ]*\) .*/\1/' <<< "$line" | tr , ' '); do
    w=${size%x*} h=${size#*x}
    (( w >= 500 && h >= 100 )) || fail "$name: a chart of $size px"
  done
  browse --window-size=794,1123 --screenshot="$work/$name.png" \
    "file://$report" > /dev/null 2>&1 || fail "$name: screenshot"
  [[ "$(head -c 8 "$work/$name.png" | od -An -tx1 | tr -d ' \n')" == \
     89504e470d0a1a0a ]] || fail "$name: no PNG"
  browse --no-pdf-header-footer --print-to-pdf="$work/$name.pdf" \
    "file://$report" > /dev/null 2>&1 || fail "$name: print to PDF"
  [[ "$(head -c 5 "$work/$name.pdf")" == "%PDF-" ]] || fail "$name: no PDF"
  if command -v pdfinfo > /dev/null; then
    local pages
    pages=$(pdfinfo "$work/$name.pdf" | awk '/^Pages:/ {print $2}')
    echo "$name: $pages A4 pages"
    (( pages >= 4 )) || fail "$name: $pages pages, expected one per section"
  fi
}

# The section of the cases' spectra alone, as the README shows it.
spectra_picture() {
  local name=$1 page="$work/$1-spectra-only.html"
  awk '/^<section class="page" id="spectra">/ { on = 1 }
       !started || on { print }
       /^<body>/ { started = 1 }
       on && /^<\/section>/ { on = 0 }
       END { print "</body></html>" }' "$work/$name.html" > "$page"
  grep -q 'Response spectra of the cases' "$page" ||
    fail "$name: no section of the cases' spectra"
  browse --window-size=794,1020 --screenshot="$work/$name-spectra.png" \
    "file://$page" > /dev/null 2>&1 || fail "$name: spectra screenshot"
}

"$sample" --example "$examples" "$work/example.html" || fail "example report"
"$sample" --synthetic "$work/synthetic.html" || fail "synthetic report"
check_report example 6
check_report synthetic 6
spectra_picture example
spectra_picture synthetic
echo "reports render in $("$chromium" --version 2>/dev/null || echo chromium)"
