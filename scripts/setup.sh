#!/bin/bash
# Installs every Debian package the build, the tests and the demo need.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=(g++-mingw-w64-i686 mingw-w64-i686-dev wine wine32:i386 xvfb xauth cmake
      googletest fonts-wqy-zenhei locales imagemagick x11-apps clang libclang-rt-14-dev)

SUDO=
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    fresh_arch=1
fi

missing=()
for p in "${need[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ] || [ -n "${fresh_arch:-}" ]; then
    echo "setup: installing ${missing[*]:-(package lists)}"
    $SUDO apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
fi

# Wine runs with the Simplified Chinese locale so the ANSI code page is 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    echo "setup: generating zh_CN.UTF-8"
    $SUDO sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
fi
# Some virtual machines run 64-bit user code only: the kernel refuses to
# execute i386 programs (Wine's loader and server among them). There, i386
# programs run through QEMU's user-mode emulator, registered with binfmt_misc.
# QEMU before 8.1 ignores MAP_FIXED_NOREPLACE, which Wine relies on, so the
# emulator comes from bookworm-backports.
i386_runs() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
if ! i386_runs; then
    qemu=/usr/bin/qemu-i386-static
    if ! "$qemu" --version 2>/dev/null | grep -qE 'version ([89]|[1-9][0-9])\.'; then
        echo "setup: installing qemu-user-static from bookworm-backports"
        if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
            printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
                $SUDO tee /etc/apt/sources.list.d/sefrabox-backports.sources >/dev/null
        fi
        $SUDO apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq -t bookworm-backports qemu-user-static >/dev/null
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    [ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
    # Re-register so the entry holds the emulator installed now (flag F
    # keeps the file that was open at registration).
    [ -e "$binfmt/qemu-i386" ] && echo -1 | $SUDO tee "$binfmt/qemu-i386" >/dev/null
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':OCF' |
        $SUDO tee "$binfmt/register" >/dev/null
    if ! i386_runs; then
        echo "setup: i386 programs still cannot run on this machine" >&2
        exit 1
    fi
    echo "setup: i386 programs run through $qemu"
fi
echo "setup: ok"
