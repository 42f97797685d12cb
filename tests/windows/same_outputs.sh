#!/usr/bin/env bash
# A compilation by the Windows build equals the Linux build's, byte for byte: the patched "Menu.GB", every
# output, the map and the table printed, over ROMs named in other scripts and names that differ only in
# letter case (in folders of their own, as Windows needs), and ROMs read from a .zip, a .7z and a .gz.
# usage: same_outputs.sh LINUX_CLI -- WINDOWS_COMMAND...   (the Windows command: wine and the .exe)
set -euo pipefail
source "$(dirname "$0")/same_files.sh"
linux=$1
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

make_rom() { # path blocks
  mkdir -p "$(dirname "$1")"
  head -c $(($2 * 32768)) /dev/urandom >"$1"
}
mkdir -p "$scratch/inputs"
cd "$scratch/inputs"
head -c 32768 /dev/urandom >Menu.GB
make_rom "ゼルダの伝説.gb" 16
make_rom "Café.GB" 4
make_rom "one/Game.gb" 8
make_rom "two/GAME.GB" 2
make_rom "Ünïcödé folder/Δ.gb" 32
make_rom "Большой.gb" 256 # reaches the second piece
# ROMs straight from archives: one ROM in a zip named alone, a member of a 7z named, a gzip file.
make_rom packed/Zipped.gb 4
make_rom packed/Ärger.gb 2
make_rom packed/Other.gb 1
make_rom packed/Gzipped.gb 8
(cd packed && bsdtar -a -cf ../Zipped.zip Zipped.gb && bsdtar --format 7zip -cf ../Sammlung.7z Ärger.gb Other.gb &&
   gzip -c Gzipped.gb >../Gzipped.gb.gz)
rm -r packed
arguments=(--quiet --map flash.svg --name "café crème" "Café.GB" --save "ゼルダの伝説.gb" one/Game.gb
           --name "Ωmega" --save two/GAME.GB "Ünïcödé folder/Δ.gb" "Большой.gb"
           Zipped.zip --member Ärger.gb Sammlung.7z Gzipped.gb.gz)

failed=0
for system in linux windows; do
  cp -r "$scratch/inputs" "$scratch/$system"
done
(cd "$scratch/linux" && "$linux" "${arguments[@]}" >table.txt)
(cd "$scratch/windows" && "$@" "${arguments[@]}" >table.txt)
same_files "$scratch/linux" "$scratch/windows" table.txt Menu.GB Output.GB Output1.GB Output2.GB Output3.GB \
  Output4.GB flash.svg || failed=1
[ -s "$scratch/linux/table.txt" ] || { echo "the Linux build printed no table" >&2; failed=1; }
exit $failed
