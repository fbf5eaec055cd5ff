#!/usr/bin/env bash
# Re-creates the public 4D corpus listed in tests/runner/corpus/manifest.tsv in DEST, one folder per
# repository (owner+name/...), each file at its path in the repository. The files come from
# the repositories' bare mirrors (MIRRORS, default /work/.mirror/owner+name/repo); a repository
# that is not there, or lacks the listed commit, is skipped with a message.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
manifest=${MANIFEST:-$here/tests/runner/corpus/manifest.tsv}
mirrors=${MIRRORS:-/work/.mirror}
if [ $# -ne 1 ]; then
  echo "usage: scripts/corpus.sh DEST" >&2
  exit 2
fi
dest=$1
mkdir -p "$dest" || exit 1
declare -A missing=()
written=0 skipped=0
while IFS=$'\t' read -r repo path commit kind self; do
  [ "$repo" = repository ] && continue
  gitdir=$mirrors/${repo/\//+}/repo
  if [ ! -d "$gitdir" ]; then
    if [ -z "${missing[$repo]:-}" ]; then
      echo "corpus: $repo is not fetched (no $gitdir); its files are skipped" >&2
      missing[$repo]=1
    fi
    skipped=$((skipped + 1))
    continue
  fi
  out=$dest/${repo/\//+}/$path
  mkdir -p "$(dirname "$out")"
  if ! git --git-dir="$gitdir" show "$commit:$path" >"$out" 2>/dev/null; then
    echo "corpus: $repo has no $path at $commit; skipped" >&2
    rm -f "$out"
    skipped=$((skipped + 1))
    continue
  fi
  written=$((written + 1))
done <"$manifest"
echo "corpus: $written files written to $dest, $skipped skipped"
[ "$written" -gt 0 ]
