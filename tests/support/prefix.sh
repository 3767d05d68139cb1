# Wine prefixes of the build: created once per configuration, cut off from the
# host's files, cloned cheaply. Sourced by wine-run and sandbox.

export WINEDEBUG=-all
# No mirroring of the program's shortcuts and associations into the host's
# menus, and no prompts for components the tests do not need.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

# Wine maps file names through the Unix locale and takes its ANSI code page
# from it: a run gets KELVON_LANG when set, else a UTF-8 locale every glibc
# has, whatever the caller's environment holds (a fresh system has none).
use_locale() {
    local name
    for name in $(env | sed -n 's/^\(LC_[A-Z_]*\)=.*/\1/p'); do unset "$name"; done
    export LANG=${KELVON_LANG:-C.UTF-8}
}

# Replaces every link that leaves the prefix (the user's folders point into the
# host's home, Z: at /) and maps T: to the build folder.
isolate_prefix() {
    local prefix=$1 build_dir=$2
    rm -f "$prefix/dosdevices/z:"
    find "$prefix/drive_c/users" -maxdepth 2 -type l | while read -r link; do
        rm "$link" && mkdir -p "$link"
    done
    ln -sfn "$build_dir" "$prefix/dosdevices/t:"
}

# A copy that shares the large system folders by hard links; Wine replaces the
# registry files on saving and never writes to its own DLLs.
clone_prefix() {
    local from=$1 to=$2
    mkdir -p "$to/drive_c"
    (cd "$from" && find . -mindepth 1 -maxdepth 1 ! -name drive_c -exec cp -a {} "$to/" \;)
    (cd "$from/drive_c" && find . -mindepth 1 -maxdepth 1 ! -name windows -exec cp -a {} "$to/drive_c/" \;)
    cp -al "$from/drive_c/windows" "$to/drive_c/windows"
    find "$to/drive_c/windows" -maxdepth 1 -type f -exec sh -c 'cp -p "$1" "$1.copy" && mv "$1.copy" "$1"' _ {} \;
}

# ensure_prefix BUILD_DIR NAME: BUILD_DIR/prefixes/NAME exists and is ready,
# and NAME.pristine beside it holds its state right after creation. Wine's
# processes never get the lock's descriptor: one left hanging would otherwise
# hold the lock, and every test behind it, for good.
ensure_prefix() {
    local build_dir=$1 name=$2 attempt status
    local prefixes="$build_dir/prefixes"
    mkdir -p "$prefixes"
    for attempt in 1 2 3; do
        status=0
        (
            flock 9
            create_prefix_unlocked "$build_dir" "$name" 9>&-
        ) 9>"$prefixes/.lock" || status=$?
        [ "$status" = 1 ] || return "$status"
        echo "prefix '$name' could not be made (attempt $attempt of 3)" >&2
    done
    return 1
}

# Ends every process of the prefix, its server included; bounded, since a
# hung server would otherwise hold up the caller too.
end_prefix() {
    WINEPREFIX="$1" timeout 30 wineserver -k 2>/dev/null || true
}

# A Wine process can hang for good (seen once while a prefix was being made,
# on a machine whose 32-bit side runs under qemu-user). Each step of making a
# prefix is bounded; a step that overruns ends every process of that prefix,
# and the prefix is made anew.
prefix_step() {
    local prefix=$1 seconds=$2
    shift 2
    WINEPREFIX="$prefix" timeout -k 10 "$seconds" "$@" && return 0
    end_prefix "$prefix"
    rm -rf "$prefix" "$prefix.pristine"
    return 1
}

# A prefix and its clones share files by hard links that a Wine update would
# rewrite, so each records the Wine version it was made with and is made
# again when that changes.
create_prefix_unlocked() {
    local build_dir=$1 name=$2
    local prefix="$build_dir/prefixes/$name" version
    version=$(wine --version)
    [ "$(cat "$prefix/.ready" 2>/dev/null)" = "$version" ] && return 0
    [ -d "$prefix" ] && end_prefix "$prefix"
    rm -rf "$prefix" "$prefix.pristine"
    case $name in
        win64|win32)
            WINEARCH=$name prefix_step "$prefix" 600 wineboot -i >/dev/null 2>&1 || return 1 ;;
        winxp|win98)
            create_prefix_unlocked "$build_dir" win32 || return 1
            clone_prefix "$build_dir/prefixes/win32.pristine" "$prefix" || return 1
            prefix_step "$prefix" 120 wine reg add 'HKCU\Software\Wine' /v Version /d "$name" /f \
                >/dev/null 2>&1 || return 1 ;;
        *) echo "unknown prefix '$name'" >&2; return 2 ;;
    esac
    prefix_step "$prefix" 120 wineserver -w || return 1
    isolate_prefix "$prefix" "$build_dir" || return 1
    # Tests share the working prefix and clean up after themselves; a fresh
    # run starts from this untouched copy instead.
    rm -rf "$prefix.pristine"
    clone_prefix "$prefix" "$prefix.pristine" || return 1
    echo "$version" >"$prefix/.ready"
}

# Every prefix the tests use, made one after another before the first test
# starts: no test then spends its time on making one, and a prefix that
# cannot be made fails the run at once.
make_prefixes() {
    local build_dir=$1 name
    for name in win64 win32 winxp win98; do
        ensure_prefix "$build_dir" "$name" || return 1
    done
}

# The Windows path of a file under the build folder (through T:).
windows_path() {
    local build_dir=$1 path=$2
    case $path in
        "$build_dir"/*) printf 'T:%s' "$(printf '%s' "${path#"$build_dir"}" | tr / '\\')" ;;
        *) printf '%s' "$path" ;;
    esac
}
