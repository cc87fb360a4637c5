#!/usr/bin/env bash
# The banner window: found, size and place, style, title, child controls, what it shows, focus.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init window "$@"

banner_start banner
H="$BANNER_HWND"
e2e_pass "a LEDBanner.Window appeared within 20 s ($H)"

info="$(probe info "$H")"
check "window rect x,y,w,h" "$(kv rect <<<"$info")" "740,475,439,129"
check "client size" "$(kv client <<<"$info")" "0,0,439,129"
check "title" "$(kv title <<<"$info")" ""
check "top-level (GA_PARENT is the desktop)" "$(kv parent_is_desktop <<<"$info")" "1"
check "visible" "$(kv visible <<<"$info")" "1"
check "not topmost at start" "$(kv topmost <<<"$info")" "0"
style=$(($(kv style <<<"$info")))
# WS_POPUP 0x80000000, WS_CAPTION 0x00C00000 (border + dialog frame), WS_THICKFRAME 0x00040000,
# WS_SYSMENU 0x00080000, WS_MINIMIZEBOX 0x00020000, WS_MAXIMIZEBOX 0x00010000.
check "style WS_POPUP" "$((style & 0x80000000))" "$((0x80000000))"
check "style has no caption, border or dialog frame" "$((style & 0x00C00000))" "0"
check "style has no sizing frame" "$((style & 0x00040000))" "0"
check "style has no system menu" "$((style & 0x00080000))" "0"
check "style WS_MINIMIZEBOX" "$((style & 0x00020000))" "$((0x00020000))"
check "style has no maximize box" "$((style & 0x00010000))" "0"

children="$(probe children "$H")"
printf '%s\n' "$children" >"$E2E_DIR/children.txt"
# child_field ID KEY : a field of the descendant with control id ID.
child_field() {
  grep -P "\tid=$1\t" <<<"$children" | head -n 1 | kv "$2"
}
for id in 1001 1002 1003 1004 1005 1006 1007 1008 1009; do
  check_true "a child control with id $id" grep -qP "\tid=$id\t" <<<"$children"
done
check "check box class" "$(child_field 1001 class)" "Button"
check "check box caption" "$(child_field 1001 text)" "置顶"
check "check box place (outside the window)" "$(child_field 1001 local | cut -d, -f1,2)" "472,112"
check "input box class" "$(child_field 1004 class)" "Edit"
check "input box place" "$(child_field 1004 local)" "96,104,272,20"
check "input box WS_EX_CLIENTEDGE" "$(($(child_field 1004 exstyle) & 0x200))" "$((0x200))"
check "picture box class" "$(child_field 1007 class)" "LEDBanner.PictureBox"
check "picture box place" "$(child_field 1007 local)" "0,0,440,80"
picture="$(child_field 1007 hwnd)"
check "scroller class" "$(child_field 1009 class)" "Edit"
check "scroller text at start" "$(child_field 1009 text)" "Quorlin原创"
check "scroller is a child of the picture box" "$(child_field 1009 parent)" "$picture"
for id in 1005 1008; do
  check "control $id is a child of the picture box" "$(child_field "$id" parent)" "$picture"
done
for id in 1001 1002 1003 1004 1006 1007; do
  check "control $id is a child of the window" "$(child_field "$id" parent)" "$H"
done
check "input box text at start" "$(child_field 1004 text)" "Quorlin原创"
help="$(grep -P '\ttext=F1锁定 F2解除锁定 F3置顶/取消置顶 Esc退出程序$' <<<"$children" || true)"
check "help line class" "$(kv class <<<"$help")" "Static"
check "help line place" "$(kv local <<<"$help")" "98,82,278,16"
label="$(grep -P '\ttext=输入文字$' <<<"$children" || true)"
check "label class" "$(kv class <<<"$label")" "Static"
check "label place" "$(kv local <<<"$label")" "41,104,48,24"
check_true "help line and label have ids 1002/1003" \
  grep -qx '1002 1003' <<<"$(printf '%s\n' "$(kv id <<<"$help")" "$(kv id <<<"$label")" | sort |
    paste -sd' ')"

focus="$(probe focus "$H")"
check "keyboard focus: control id" "$(kv focus_id <<<"$focus")" "1004"
check "keyboard focus: class" "$(kv focus_class <<<"$focus")" "Edit"
check "active window" "$(kv active <<<"$focus")" "$H"

# What it shows. The strip is painted once the window is up; poll the screenshot for it.
X=740 Y=475
# shellcheck disable=SC2317  # called through we_wait_for
strip_painted() {
  screenshot screen
  (($(count_colour "$E2E_DIR/screen.png" "$X" "$Y" 439 80 128 0 0) > 5000))
}
we_wait_for 10 "the strip to be painted" strip_painted || true
shot="$E2E_DIR/screen.png"
"$WE_CONVERT" "$shot" -crop "439x129+$X+$Y" +repage "$E2E_DIR/banner.png"
strip=$(count_colour "$shot" "$X" "$Y" 439 80 128 0 0)
dots=$(count_colour "$shot" "$X" "$Y" 439 80 91 0 0)
blue=$(count_blue "$shot" $((X + 98)) $((Y + 82)) 278 16)
red=$(count_red "$shot" $((X + 41)) $((Y + 104)) 48 24)
inner=$(((272 - 6) * (20 - 6)))
white=$(count_colour "$shot" $((X + 96 + 3)) $((Y + 104 + 3)) 266 14 255 255 255)
we_log "pixels: strip(128,0,0)=$strip dots(91,0,0)=$dots blue=$blue red=$red white=$white/$inner"
check_true "strip colour (128,0,0) in the strip ($strip px)" test "$strip" -gt 5000
check_true "dot colour (91,0,0) in the strip ($dots px)" test "$dots" -gt 1000
check_true "blue text in the help line ($blue px)" test "$blue" -gt 100
check_true "red text in the label ($red px)" test "$red" -gt 30
check_true "white input box ($white of $inner px)" test "$white" -gt $((inner * 9 / 10))
button_face=$(count_colour "$shot" "$X" $((Y + 100)) 30 29 240 240 240 16)
check_true "button-face background below the strip ($button_face px)" test "$button_face" -gt 400

e2e_finish
