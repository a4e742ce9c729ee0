#!/usr/bin/env bash
# check_links.sh ROOT: every relative link of every Markdown page under ROOT
# (the source tree, or the documentation folder of an installation) leads
# to a file that is there and, where it names a heading (page.md#heading),
# to a heading of that page. Links to other sites are not followed. Links
# in code (fenced blocks and `spans`) are text, not links.
set -euo pipefail
root=${1:?usage: check_links.sh ROOT}
status=0

# A heading's anchor as the Markdown renderers make it: lower case, the
# characters other than letters, digits, blanks, - and _ dropped, blanks as -.
anchors() {  # page
  awk '/^```/ { fenced = !fenced; next } !fenced && /^#+ / { sub(/^#+ +/, ""); print }' "$1" |
    tr '[:upper:]' '[:lower:]' | sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}

# Each link of a page as its target, outside code.
links() {  # page
  awk '/^```/ { fenced = !fenced; next } !fenced { gsub(/`[^`]*`/, ""); print }' "$1" |
    grep -o '\]([^)]*)' | sed 's/^](//; s/)$//; s/ .*//' || true
}

# Build folders are passed over below the root, not above it: the root itself
# may lie in one (the mutation run's copy of the sources does).
pages=$(cd "$root" && find . -name '*.md' -not -path './build*/*' -not -path '*/.git/*' -not -path '*/node_modules/*' |
        sed "s|^\.|$root|" | sort)
[ -n "$pages" ] || { echo "check_links: no Markdown page under $root"; exit 1; }
for page in $pages; do
  dir=$(dirname "$page")
  for link in $(links "$page"); do
    case $link in
      http://* | https://* | mailto:*) continue ;;
    esac
    path=${link%%#*}
    anchor=
    [[ $link == *'#'* ]] && anchor=${link#*#}
    target=$page
    [ -n "$path" ] && target=$dir/$path
    if [ ! -e "$target" ]; then
      echo "${page#"$root"/}: $link: no such file"
      status=1
    elif [ -n "$anchor" ] && ! anchors "$target" | grep -qxF -- "$anchor"; then
      echo "${page#"$root"/}: $link: no such heading in ${target#"$root"/}"
      status=1
    fi
  done
done
exit $status
