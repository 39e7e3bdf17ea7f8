#!/bin/sh
# Makes the Windows package in the build folder $1 (version $2) and checks
# that it holds exactly the folder quorvane-<version>-windows-x64 with the
# programs named after $3 and README.txt, and that no program needs a DLL of
# the compiler's runtime (libstdc++, libgcc, winpthreads): one .exe runs
# alone. $3 is the objdump that reads Windows programs.
set -eu
build=$1
version=$2
objdump=$3
shift 3
name=quorvane-$version-windows-x64
zip=$(cd "$build" && pwd)/$name.zip

cmake --build "$build" --target quorvane_windows_zip >/dev/null
[ -f "$zip" ] || { echo "no $zip"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expected="$name/ $name/README.txt"
for program in "$@"; do expected="$expected $name/$program"; done
printf '%s\n' $expected | sort >"$work/expected"
cmake -E tar tf "$zip" | sort >"$work/listed"
status=0
diff "$work/expected" "$work/listed" || { echo "the package does not hold exactly its files"; status=1; }

(cd "$work" && cmake -E tar xf "$zip")
for program in "$@"; do
    [ -f "$work/$name/$program" ] || continue
    dlls=$("$objdump" -p "$work/$name/$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
    echo "$program imports: $(echo $dlls)"
    if echo "$dlls" | grep -qi '^lib'; then
        echo "$program needs a runtime DLL that the package does not hold"
        status=1
    fi
done
grep -q "Quorvane $version" "$work/$name/README.txt" || { echo "README.txt lacks the version"; status=1; }
exit $status
