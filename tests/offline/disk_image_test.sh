#!/usr/bin/env bash
# Disk images made here without mounting or root (mkfs.fat, mtools, mkntfs and quillon-ntfs-put,
# sfdisk, ewfacquire): the sample installation on FAT32 without a partition table, behind an MBR,
# behind a GPT after an empty partition, on NTFS alone and behind an MBR, in an E01, and the
# real Windows Me registry in a Windows 98 layout. list
# names the installation and its user; save gives byte for byte the file that --windows gives
# on the same files in a folder. Then bad images: each ends with a message naming the file.
#   usage: disk_image_test.sh CLI SAMPLE_INSTALLATION_DIR FIXTURES_DIR NTFS_PUT
set -u
cli=$1 sample=$2 me=$3/winme-dfwinreg-creg ntfs_put=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MTOOLS_SKIP_CHECK=1 TMPDIR=$work/tmp
mkdir -p "$TMPDIR"
source "$(dirname "$0")/../cli/expect.sh"
cd "$work" || exit 1

# fat32 IMAGE SIZE_MB [OFFSET_SECTORS]: an image holding a FAT32 file system at that offset.
fat32() {
    truncate -s "$2M" "$1" && mkfs.fat -F 32 --offset "${3:-0}" "$1" >/dev/null
}
# put IMAGE[@@OFFSET] FILES...: copies files and folders to the root of the file system.
put() { local image=$1; shift; mcopy -s -i "$image" "$@" ::/; }

"$cli" --windows "$sample" save folder.reg 2>/dev/null
fat32 whole.img 64 && put whole.img "$sample"/*
truncate -s 80M mbr.img && echo 'start=2048, type=c' | sfdisk -q mbr.img &&
    mkfs.fat -F 32 --offset 2048 mbr.img >/dev/null && put mbr.img@@1M "$sample"/*
truncate -s 120M gpt.img && printf 'label: gpt\nstart=2048, size=40M\nstart=83968\n' | sfdisk -q gpt.img &&
    mkfs.fat -F 32 --offset 2048 gpt.img >/dev/null && mkfs.fat -F 32 --offset 83968 gpt.img >/dev/null &&
    put gpt.img@@$((83968 * 512)) "$sample"/*
ewfacquire -u -q -t "$work/disk" -S 1MiB -c none mbr.img >/dev/null 2>&1
# ntfs IMAGE SIZE_MB PARTITION_START_SECTOR: an NTFS volume holding the sample.
ntfs() {
    truncate -s "$2M" "$1" && mkntfs -F -Q -q -p "$3" "$1" 2>/dev/null &&
        ASAN_OPTIONS=detect_leaks=0 "$ntfs_put" "$1" "$sample"
}
ntfs ntfs.img 64 0
ntfs volume.ntfs 64 2048 && truncate -s 80M ntfs-mbr.img && echo 'start=2048, type=7' | sfdisk -q ntfs-mbr.img &&
    dd if=volume.ntfs of=ntfs-mbr.img bs=1M seek=1 conv=notrunc status=none

for image in whole.img mbr.img gpt.img ntfs.img ntfs-mbr.img disk.E01; do
    "$cli" --image "$image" list >list.txt 2>err.txt
    expect "$image: list exits 0" test $? = 0
    expect "$image: list names the installation and its user" \
        grep -qP "^$image.*\tWindows 2000/XP/2003\t6\.0\.2900\.5512\tLuc\t\{3F2A5D1C-8B4E-4C7A-9D21-6E5F0A1B2C3D\}\t%UserProfile%" list.txt
    "$cli" --image "$image" save "$image.reg" 2>/dev/null
    expect "$image: save gives the folder's file" cmp -s "$image.reg" folder.reg
done
"$cli" --image mbr.img list --details >details.txt 2>/dev/null
expect "--details: the accounts, their servers, user and address" \
    grep -qP '^\tcompte\tpop\.exemple\.fr\tPOP3 pop\.exemple\.fr, SMTP smtp\.exemple\.fr\tluc\.martin\tluc\.martin@exemple\.fr$' details.txt
expect "--details: signatures, rules and blocked senders" \
    bash -c "grep -qP '^\tsignature\tSignature 1\tLuc Martin$' details.txt && grep -qP '^\trègles\t2 courrier, 1 forums$' details.txt && grep -qP '^\témetteurs bloqués\t2 courrier, 1 forums$' details.txt"
"$cli" --image gpt.img list >list.txt 2>/dev/null
expect "the GPT's second partition is the one named" grep -q '^gpt.img, partition 2' list.txt
expect "no temporary copy of a hive is left" test -z "$(ls -A "$TMPDIR")"

if [[ -f $me/USER.DAT ]]; then
    mkdir -p me/WINDOWS && cp "$me/SYSTEM.DAT" "$me/USER.DAT" me/WINDOWS/
    "$cli" --windows me save me-folder.reg 2>/dev/null
    fat32 me.img 40 && mmd -i me.img ::/WINDOWS && mcopy -i me.img me/WINDOWS/*.DAT ::/WINDOWS/
    ewfacquire -u -q -t "$work/me" -S 8MiB -c none me.img >/dev/null 2>&1
    for image in me.img me.E01; do
        "$cli" --image "$image" list >list.txt 2>/dev/null
        expect "$image: the Windows Me user" grep -qP "^$image\tWindows 95/98/Me\t5\.50\.4134\.0100\t\.DEFAULT\t\{5BF89071-1772-4861-B17B-50F47CC6DBDD\}" list.txt
        "$cli" --image "$image" save "$image.reg" 2>/dev/null
        expect "$image: save gives the folder's file" cmp -s "$image.reg" me-folder.reg
    done
else
    echo "Skipped the Windows Me images: $me is not here (no ../shared beside the clone)"
fi

# bad IMAGE PATTERN [OPTIONS...]: the command ends with exit 1 (never a crash) and a message
# naming the image that matches PATTERN.
bad() {
    local image=$1 pattern=$2
    shift 2
    "$cli" --image "$image" "$@" status >out.txt 2>err.txt
    local status=$?
    expect "$image: exit 1 (got $status)" test $status = 1
    expect "$image: $pattern" grep -q "$image.*$pattern" err.txt
}
head -c 3000000 /dev/urandom >noise.img
bad noise.img "ni table de partitions lisible .* ni système de fichiers lisible"
head -c 1500000 mbr.img >truncated.img
bad truncated.img "partition 1 : la partition dépasse la fin de l'image (image tronquée)"
truncate -s 20M unknown.img && echo 'start=2048, type=83' | sfdisk -q unknown.img
bad unknown.img "partition 1 : pas de système de fichiers lisible"
fat32 empty.img 40
bad empty.img "aucune installation de Windows trouvée dans l'image"
bad gpt.img "pas de Windows" --partition 1
bad gpt.img "pas de partition 3" --partition 3
mkdir -p split && cp disk.E0* split/ && rm split/disk.E03
bad split/disk.E01 "image EnCase incomplète ou endommagée"
# A BitLocker volume: its boot sector says -FVE-FS-, and the rest is ciphertext.
cp mbr.img locked.img && dd if=/dev/urandom of=locked.img bs=1M seek=1 count=78 conv=notrunc status=none &&
    printf '\xeb\x58\x90-FVE-FS-' | dd of=locked.img bs=1 seek=$((2048 * 512)) conv=notrunc status=none
bad locked.img "partition 1 : volume chiffré par BitLocker"
# A damaged NTFS entry whose data claim 1 TiB, in a 64 MiB file system: refused before anything
# is set aside for it.
cp ntfs.img huge.img && python3 - huge.img <<'EOF'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
for record in range(0, len(data), 1024):  # the MFT record naming NTUSER.DAT
    if data[record:record + 4] == b'FILE' and 'NTUSER.DAT'.encode('utf-16-le') in data[record:record + 1024]:
        at = record + struct.unpack_from('<H', data, record + 0x14)[0]
        while struct.unpack_from('<I', data, at)[0] not in (0x80, 0xFFFFFFFF):
            at += struct.unpack_from('<I', data, at + 4)[0]
        for size in (0x28, 0x30, 0x38):  # allocated, real and initialised sizes
            struct.pack_into('<Q', data, at + size, 1 << 40)
open(sys.argv[1], 'wb').write(data)
EOF
bad huge.img "NTUSER.DAT » : fichier trop grand"
truncate -s 80M two.img && printf 'start=2048, size=38M, type=c\nstart=79872, type=c\n' | sfdisk -q two.img &&
    mkfs.fat -F 32 --offset 2048 two.img >/dev/null && mkfs.fat -F 32 --offset 79872 two.img >/dev/null &&
    put two.img@@1M "$sample"/* && put two.img@@$((79872 * 512)) "$sample"/*
bad two.img "plusieurs installations de Windows (two.img, partition 1, two.img, partition 2) ; choisissez-en une avec --partition N"
"$cli" --image two.img --partition 2 save two.reg 2>/dev/null
expect "--partition chooses among several" cmp -s two.reg folder.reg
finish
