#!/usr/bin/env bash
# Fails when an include goes against the layers:
#   platform/core      -> nothing of ours but itself, Qt Core only
#   platform/printing  -> platform/core
#   platform/widgets   -> platform/core
#   store              -> platform/core only
#   report_engine      -> platform/core and platform/printing; Qt Widgets only in
#                         its progress window
#   shared_state       -> nothing of ours but itself, Qt Core only
#   the windows (main_menu, registration, query, reporting, settings)
#                      -> platform, store, report_engine, shared_state and their own
#                         folder; a window's header only where the includer shows that
#                         window or calls its handlers (the list below)
#   app                -> anything; nothing includes app/
#   message boxes only in the dialog implementation; no test-support header in src/.
# Usage: check_includes.sh <source root> <Qt include root>
set -uo pipefail
src=$1/src
qt=$2
status=0

complain() { echo "layering: $*"; status=1; }

# Our own includes of the files under $1 that fall outside the allowed prefixes.
check_ours() {
    local dir=$1; shift
    local allowed=("$@")
    while IFS= read -r line; do
        local file=${line%%:*} target=${line#*\"}
        target=${target%%\"*}
        local ok=0
        for prefix in "${allowed[@]}"; do
            [[ $target == "$prefix"* ]] && ok=1
        done
        [ $ok -eq 1 ] || complain "${file#"$src"/} includes \"$target\""
    done < <(grep -rHn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src/$dir" --include='*.h' --include='*.cpp')
}

# Qt headers of a module used outside the files allowed to use it.
check_qt_module() {
    local dir=$1 module=$2 allowed=$3
    while IFS= read -r line; do
        local file=${line%%:*} header=${line#*<}
        header=${header%%>*}
        header=${header#"$module"/}
        [ -e "$qt/$module/$header" ] || continue
        [[ $(basename "$file") =~ $allowed ]] && continue
        complain "${file#"$src"/} includes <$header> of $module"
    done < <(grep -rHn '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "$src/$dir" --include='*.h' --include='*.cpp')
}

check_ours platform/core platform/core/
check_ours platform/printing platform/core/ platform/printing/
check_ours platform/widgets platform/core/ platform/widgets/
check_ours store platform/core/ store/
check_ours report_engine platform/core/ platform/printing/ report_engine/

check_ours shared_state shared_state/

window_folders=(main_menu registration query reporting settings)
for folder in "${window_folders[@]}"; do
    check_ours "$folder" platform/ store/ report_engine/ shared_state/ "${window_folders[@]/%//}"
done

# Which file may include which window's header: it shows that window, fills its
# controls or calls its handlers. A window header is one that declares the
# window's single instance.
window_uses=(
    main_menu/form1.cpp:query/form_cx.h
    main_menu/form1.cpp:registration/form_zj.h
    main_menu/form1.cpp:settings/form_sz.h
    query/form_cx.cpp:main_menu/form1.h
    query/form_cx.cpp:registration/form5.h
    query/form_cx.cpp:reporting/form_dy.h
    registration/form5.cpp:query/form_cx.h
    registration/form5.cpp:registration/form_zj.h
    registration/form6.cpp:registration/form_zj.h
    registration/form_zj.cpp:main_menu/form1.h
    registration/form_zj.cpp:registration/form5.h
    registration/form_zj.cpp:registration/form6.h
    registration/form_zj.cpp:reporting/form_dy.h
    reporting/form_dy.cpp:main_menu/form1.h
    reporting/form_dy.cpp:registration/form_zj.h
    reporting/form_dy.cpp:reporting/qrreport7.h
    settings/form_sz.cpp:main_menu/form1.h
)
window_headers=()
for folder in "${window_folders[@]}"; do
    while IFS= read -r header; do
        window_headers+=("${header#"$src"/}")
    done < <(grep -lE '^extern T[A-Za-z0-9_]+ \*[A-Za-z0-9_]+;' "$src/$folder"/*.h)
done
for folder in "${window_folders[@]}"; do
    while IFS= read -r line; do
        file=${line%%:*} target=${line#*\"}
        file=${file#"$src"/} target=${target%%\"*}
        [[ " ${window_headers[*]} " == *" $target "* ]] || continue
        [ "${file%.cpp}.h" == "$target" ] && continue
        [[ " ${window_uses[*]} " == *" $file:$target "* ]] || complain "$file includes the window \"$target\" without showing it or calling it"
    done < <(grep -rHn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src/$folder" --include='*.h' --include='*.cpp')
done

while IFS= read -r line; do
    complain "${line#"$src"/} reaches up into app/"
done < <(grep -rHn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"app/' "$src" --include='*.h' --include='*.cpp' | grep -v "^$src/app/")

for module in QtGui QtWidgets QtPrintSupport; do
    check_qt_module platform/core "$module" '^$'
    check_qt_module store "$module" '^$'
    check_qt_module shared_state "$module" '^$'
done
check_qt_module platform/core QtSql '^$'
check_qt_module platform/printing QtWidgets '^$'
check_qt_module report_engine QtWidgets '^tqr_progress_form\.(h|cpp)$'
check_qt_module report_engine QtSql '^$'

while IFS= read -r file; do
    [[ $(basename "$file") == message_box_dialogs.cpp ]] || complain "${file#"$src"/} uses QMessageBox outside the dialog implementation"
done < <(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets/)?QMessageBox>|QMessageBox::' "$src" --include='*.h' --include='*.cpp')

while IFS= read -r line; do
    complain "${line#"$src"/} is a test header in the product"
done < <(grep -rHnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](doubles/|gtest/|gmock/|QTest|QtTest/)' "$src" --include='*.h' --include='*.cpp')

[ $status -eq 0 ] && echo "layering: every include follows the layers"
exit $status
