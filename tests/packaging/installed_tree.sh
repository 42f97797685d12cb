#!/usr/bin/env bash
# `cmake --install` into a staging folder puts exactly the expected tree in place, the installed program
# tells the project's version, and the desktop entry and AppStream metadata pass their validators.
# usage: installed_tree.sh BUILD_DIR VERSION WITH_WINDOW(ON|OFF)
set -euo pipefail
build=$1 version=$2 window=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

expected=(usr/bin/romcompiler-cli)
command -v scdoc >/dev/null && expected+=(usr/share/man/man1/romcompiler-cli.1.gz usr/share/doc/romcompiler/changelog.gz usr/share/doc/romcompiler/copyright)
if [ "$window" = ON ]; then
  expected+=(usr/bin/romcompiler
             usr/share/applications/org.romcompiler.RomCompiler.desktop
             usr/share/icons/hicolor/scalable/apps/org.romcompiler.RomCompiler.svg
             usr/share/metainfo/org.romcompiler.RomCompiler.metainfo.xml)
  command -v scdoc >/dev/null && expected+=(usr/share/man/man1/romcompiler.1.gz)
fi
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$stage" && find . -type f | sed 's|^\./||' | sort)

[ "$("$stage/usr/bin/romcompiler-cli" --version)" = "romcompiler-cli $version" ]
if [ "$window" = ON ]; then
  grep -q "<release version=\"$version\"" "$stage/usr/share/metainfo/org.romcompiler.RomCompiler.metainfo.xml"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$stage/usr/share/applications/org.romcompiler.RomCompiler.desktop"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$stage/usr/share/metainfo/org.romcompiler.RomCompiler.metainfo.xml"
  fi
fi
echo "installed tree as expected"
