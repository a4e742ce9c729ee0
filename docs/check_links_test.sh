#!/usr/bin/env bash
# check_links_test.sh: check_links.sh finds each kind of broken link (a
# missing page, a missing heading, here or in another page) and nothing
# else: links in code and to other sites are left alone, headings with code
# and punctuation are found by their anchors.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/docs" "$scratch/doc"
touch "$scratch/doc/picture.png"
cat > "$scratch/README.md" <<'PAGE'
# Title

![picture](doc/picture.png) [guide](docs/guide.md) [its part](docs/guide.md#reading-back-gwinspect-answers)
[here](#title) [a site](https://example.org/missing.md) `[code](code.md)`

```
[fenced](fenced.md)
```

[gone](docs/gone.md) [no heading](#nowhere) [no heading there](docs/guide.md#reading)
PAGE
cat > "$scratch/docs/guide.md" <<'PAGE'
# Guide

## Reading back: `gwinspect answers`

[up](../README.md#title) [up, gone](../README.md#guide)
PAGE
expected="README.md: docs/gone.md: no such file
README.md: #nowhere: no such heading in README.md
README.md: docs/guide.md#reading: no such heading in docs/guide.md
docs/guide.md: ../README.md#guide: no such heading in docs/../README.md"
status=0
found=$("$here/check_links.sh" "$scratch") || status=$?
[ "$status" = 1 ] || { echo "check_links.sh ended with status $status, not 1"; exit 1; }
[ "$found" = "$expected" ] || { printf 'found:\n%s\nexpected:\n%s\n' "$found" "$expected"; exit 1; }
