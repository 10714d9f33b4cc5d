# Sourced by the scripts that try the project on a fresh Debian 12: makes a minimal bookworm root
# from the Debian mirror this machine already uses, runs commands in it and takes it down again.
# Needs root (debootstrap, mount, chroot).
#
# The bare root is kept as a tarball in the cache folder (ORINSUB_CI_CACHE, /var/cache/orinsub-ci
# by default) and made anew once it is a month old; the Debian packages that were installed into a
# root are kept there too, so a later root installs them without downloading. Everything installed
# into a root still resolves from the mirror's package lists, read afresh each time.

fresh_root_cache=${ORINSUB_CI_CACHE:-/var/cache/orinsub-ci}
fresh_root_dir=""
fresh_root_mounts=()

# Prints "URI SUITE" for each deb entry of the machine's apt sources, in both formats.
fresh_root_apt_entries()
{
    local list
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -r "$list" ] || continue
        awk '$1 == "deb" { i = 2; if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                           print $i, $(i + 1) }' "$list"
    done
    for list in /etc/apt/sources.list.d/*.sources; do
        [ -r "$list" ] || continue
        awk 'function flush(   n, m, i, j, u, s) {
                 if (types ~ /(^| )deb( |$)/ && enabled != "no") {
                     n = split(uris, u, " "); m = split(suites, s, " ")
                     for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print u[i], s[j]
                 }
                 types = uris = suites = enabled = ""
             }
             /^[ \t]*#/ { next }
             /^[ \t]*$/ { flush(); next }
             { key = tolower($1); $1 = "" }
             key == "types:" { types = $0 } key == "uris:" { uris = $0 }
             key == "suites:" { suites = $0 } key == "enabled:" { enabled = tolower($2) }
             END { flush() }' "$list"
    done
}

# The machine's mirror for one suite (bookworm, bookworm-updates, bookworm-security), or nothing.
fresh_root_mirror()
{
    fresh_root_apt_entries | awk -v suite="$1" '$2 == suite && $1 ~ /^(https?|file|ftp):/ {
        print $1; exit }'
}

# Makes the root in DIR (an empty folder) and mounts what programs in it need; fresh_root_down
# undoes it, and the caller's EXIT trap must call it.
fresh_root_up()
{
    fresh_root_dir=$1
    local mirror=${ORINSUB_DEBIAN_MIRROR:-$(fresh_root_mirror bookworm)}
    if [ -z "$mirror" ]; then
        echo "fresh-root: no Debian bookworm entry in /etc/apt/sources.list or" \
            "/etc/apt/sources.list.d; name a Debian mirror in ORINSUB_DEBIAN_MIRROR" >&2
        return 1
    fi
    local tarball=$fresh_root_cache/bookworm-minbase.tar.gz
    mkdir -p "$fresh_root_cache/debs"
    # Linking a package into a root renews its ctime: packages no root used for two months go.
    find "$fresh_root_cache/debs" -name '*.deb' -ctime +60 -delete
    if [ -f "$tarball" ] && [ -z "$(find "$tarball" -mtime +30)" ]; then
        echo "fresh-root: the bare Debian 12 root from $tarball"
        tar -xzf "$tarball" --numeric-owner -C "$fresh_root_dir"
    else
        echo "fresh-root: debootstrap --variant=minbase bookworm from $mirror"
        debootstrap --variant=minbase bookworm "$fresh_root_dir" "$mirror" \
            >"$fresh_root_cache/debootstrap.log" 2>&1 || {
            tail -n 20 "$fresh_root_cache/debootstrap.log" >&2
            return 1
        }
        # Written under a temporary name, so that a run at the same time never reads half of it.
        tar -czf "$tarball.$$" --numeric-owner -C "$fresh_root_dir" . && mv "$tarball.$$" "$tarball"
    fi

    # Its users (_apt, daemons, the tests' unprivileged users) must reach everything under "/".
    chmod 755 "$fresh_root_dir"
    {
        echo "deb $mirror bookworm main"
        local suite other
        for suite in bookworm-updates bookworm-security; do
            other=$(fresh_root_mirror "$suite")
            [ -z "$other" ] || echo "deb $other $suite main"
        done
    } >"$fresh_root_dir/etc/apt/sources.list"
    # Nothing installed into the root starts a service.
    printf '#!/bin/sh\nexit 101\n' >"$fresh_root_dir/usr/sbin/policy-rc.d"
    chmod 755 "$fresh_root_dir/usr/sbin/policy-rc.d"
    # The root reaches the network as this machine does: its resolver and hosts.
    cp /etc/resolv.conf /etc/hosts "$fresh_root_dir/etc/"
    # So do the machine's own certificate authorities (a site's proxy): ca-certificates, once
    # installed in the root, trusts them as this machine does.
    if [ -d /usr/local/share/ca-certificates ]; then
        mkdir -p "$fresh_root_dir/usr/local/share/ca-certificates"
        cp -r /usr/local/share/ca-certificates/. "$fresh_root_dir/usr/local/share/ca-certificates/"
    fi

    mount -t proc proc "$fresh_root_dir/proc" && fresh_root_mounts+=("$fresh_root_dir/proc")
    mount --bind /dev/pts "$fresh_root_dir/dev/pts" && fresh_root_mounts+=("$fresh_root_dir/dev/pts")
    mkdir -p "$fresh_root_dir/dev/shm"
    mount -t tmpfs -o mode=1777 shm "$fresh_root_dir/dev/shm" &&
        fresh_root_mounts+=("$fresh_root_dir/dev/shm")
    [ ${#fresh_root_mounts[@]} -eq 3 ] || return 1

    # Packages downloaded for an earlier root, linked in (copied across file systems).
    find "$fresh_root_cache/debs" -name '*.deb' -exec cp --link -n -t \
        "$fresh_root_dir/var/cache/apt/archives" {} + 2>/dev/null ||
        find "$fresh_root_cache/debs" -name '*.deb' -exec cp -n -t \
            "$fresh_root_dir/var/cache/apt/archives" {} +
}

# Runs a command inside the root as root, with a plain environment.
fresh_root_run()
{
    chroot "$fresh_root_dir" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive "$@"
}

# Keeps the root's downloaded packages for the next root, unmounts everything and removes the
# root. Never removes a root that still has something mounted in it.
fresh_root_down()
{
    [ -n "$fresh_root_dir" ] || return 0
    local deb i
    for deb in "$fresh_root_dir"/var/cache/apt/archives/*.deb; do
        [ -f "$deb" ] || continue
        [ -e "$fresh_root_cache/debs/${deb##*/}" ] ||
            cp --link "$deb" "$fresh_root_cache/debs/" 2>/dev/null ||
            { cp "$deb" "$fresh_root_cache/debs/.${deb##*/}.$$" &&
                mv "$fresh_root_cache/debs/.${deb##*/}.$$" "$fresh_root_cache/debs/${deb##*/}"; }
    done
    # Whatever still runs in the root (a daemon a test left behind) would hold its mounts.
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" != "${fresh_root_dir%/}" ] || kill -9 "${proc#/proc/}" 2>/dev/null || true
    done
    for ((i = ${#fresh_root_mounts[@]} - 1; i >= 0; i--)); do
        umount "${fresh_root_mounts[i]}" || umount -l "${fresh_root_mounts[i]}"
    done
    fresh_root_mounts=()
    if grep -q " ${fresh_root_dir%/} \| ${fresh_root_dir%/}/" /proc/mounts; then
        echo "fresh-root: something is still mounted in $fresh_root_dir; leaving it there" >&2
        return 1
    fi
    rm -rf --one-file-system "$fresh_root_dir"
    fresh_root_dir=""
}
