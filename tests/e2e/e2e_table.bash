# Shared by the end-to-end scripts of networked tables: a private network of their own, and the
# game windows each player's hands use (the window's and its table's place, the Game menu, one
# move at the table). A script sources this after e2e_lib.bash and start_x.

# Runs the calling script again inside a network namespace of its own with a pair of virtual
# interfaces (10.77.0.1 and 10.77.0.2, a broadcast between them): no packet leaves it. Call it
# first thing, with the script's own arguments.
private_network() {
    if [[ -z ${HALBEET_PRIVATE_NETWORK:-} ]]; then
        for tool in unshare ip ss; do
            command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
        done
        unshare -rn true 2>/dev/null || { echo "SKIP: no network namespace can be made here"; exit 77; }
        HALBEET_PRIVATE_NETWORK=1 exec unshare -rn bash "$0" "$@"
    fi
    ip link set lo up &&
        ip link add halbeet0 type veth peer name halbeet1 &&
        ip addr add 10.77.0.1/24 dev halbeet0 && ip addr add 10.77.0.2/24 dev halbeet1 &&
        ip link set halbeet0 up && ip link set halbeet1 up && ip route add default dev halbeet0 ||
        { echo "SKIP: the private network could not be set up"; exit 77; }
}

# Each player his own settings, language and data.
start_player() { # name language; sets app
    local home=$work/$1
    mkdir -p "$home/Dovelarks/Halbeet" "$home/data"
    printf '[DELAYCARD]\r\nDELAY=100\r\n[LANGUAGE]\r\nLANG=%s\r\n' "$2" >"$home/Dovelarks/Halbeet/Halbeet.ini"
    APPDATA=$home XDG_DATA_HOME=$home/data "$bin" >>"$work/halbeet.log" 2>&1 &
    app=$!
    pids+=("$app")
}
# The visible window of process $1 that is $2 wide, waited for up to 10 s.
window_of() {
    local id
    for _ in $(seq 50); do
        for id in $(timeout 5 xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
            geometry "$id"
            if ((WW == $2)); then
                echo "$id"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}
# The windows of process $1 besides its main window $2 (a dialog, the score sheet).
dialogs_of() {
    local id
    for id in $(timeout 5 xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        [[ $id != "$2" ]] && echo "$id"
    done
}
name_player() { # pid name
    local dialog
    dialog=$(window_of "$1" 286) || fail "the name dialog of $2 did not appear"
    geometry "$dialog"
    timeout 5 xdotool mousemove $((WX + 150)) $((WY + 34)) click 1
    timeout 5 xdotool key --clearmodifiers ctrl+a
    timeout 5 xdotool type --delay 20 "$2"
    timeout 5 xdotool key Return
    sleep 2
}
# Places the main window of process $1 at y=$2; sets its id in main and the table's corner.
place_main() {
    main=$(window_of "$1" 560) || fail "the main window did not appear"
    timeout 5 xdotool windowmove "$main" 0 "$2" || fail "xdotool could not move the window"
    sleep 0.5
    geometry "$main"
    TX=$WX
    TY=$((WY + WH - 19 - 394))
}
# Opens item $1 (counted from the top) of the Game menu of the window whose table is at TX,TY.
game_menu_item() {
    timeout 5 xdotool windowfocus "$main" 2>/dev/null
    timeout 5 xdotool mousemove $((TX + 280)) $((TY + 200))
    timeout 5 xdotool key F10
    sleep 0.5
    timeout 5 xdotool key $(for _ in $(seq "$1"); do printf 'Down '; done) Return
    sleep 1
}
wide() { geometry "$1"; ((WW > 600)); }

# One move for the player whose table is at $1,$2: close a window of the flow (the score
# sheet) with Return, or bid (the list, its fourth item, the button), or try his cards from
# the right. Sets closed when a window was closed.
move() { # pid main tx ty
    local d c
    closed=0
    d=$(dialogs_of "$1" "$2" | head -1)
    if [[ -n $d ]]; then
        # Two programs on one display without a window manager: the keyboard goes where it
        # was last given, so it is given to the window first.
        timeout 5 xdotool windowfocus "$d" 2>/dev/null
        answer_with "$d" Return
        closed=1
        sleep 0.5
        return
    fi
    TX=$3 TY=$4
    timeout 5 xdotool windowfocus "$2" 2>/dev/null
    click_at 117 370
    sleep 0.2
    timeout 5 xdotool key --delay 40 Down Down Down Return
    sleep 0.2
    click_at 269 252
    for c in 13 12 11 10 9 8 7 6 5 4 3 2 1; do
        click_at $((144 + 16 * (c - 1) + (c == 13 ? 35 : 8))) 370
    done
}


# The host starts the game from his panel (Alt+S: "Start the game"), in the window $1.
start_game() {
    timeout 5 xdotool windowfocus "$1" 2>/dev/null
    timeout 5 xdotool key --clearmodifiers alt+s
}

# Hala (English) starts her game and opens Host a table...: sets host (her game's pid),
# host_main, host_tx, host_ty (her window and its table's corner) and dialog, which has the
# keyboard.
open_host_dialog() {
    start_player hala EN
    host=$app
    name_player "$host" Hala
    place_main "$host" 0
    host_main=$main host_tx=$TX host_ty=$TY
    game_menu_item 2 # Host a table...
    dialog=$(dialogs_of "$host" "$host_main" | head -1)
    [[ -n $dialog ]] || fail "Host a table... opened no dialog"
    timeout 5 xdotool windowfocus "$dialog" 2>/dev/null
}

# Hosts with the dialog's chairs as they stand: the panel beside the table, port 4141 open.
confirm_host_dialog() {
    timeout 5 xdotool key Return
    sleep 2
    wide "$host_main" || fail "the host's window shows no table panel"
    ss -Hltn "sport = :4141" | grep -q 4141 || fail "the host's table does not listen on port 4141"
}
