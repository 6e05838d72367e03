# Shared by the end-to-end scripts: a private X server, the program started with its own
# settings and data folders, and the few xdotool and ImageMagick steps a person's hands do.
# A script sets bin, out and script (its own name, for the failure picture), sources this
# file, then calls start_x and start_program.
#
# There is no window manager: windows stand where the program put them, and the keyboard goes
# to the window under the pointer. Every wait has a time limit, and everything started here is
# stopped on the way out.

for tool in Xvfb xdotool import compare timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
if [[ ! -x $bin ]]; then
    echo "FAIL: no program at $bin"
    exit 1
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/halbeet-e2e.XXXXXX")
pids=()
display=""
app=""

cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        # A process that ignores the polite signal gets the hard one after a second.
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAIL: interrupted"; exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*"
    if [[ -n $display ]]; then
        DISPLAY=$display timeout 10 import -window root "$out/$script-failure.png" 2>/dev/null &&
            echo "      the screen at that moment: $out/$script-failure.png"
    fi
    if [[ -s $work/halbeet.log ]]; then
        echo "      program output:"
        sed 's/^/        /' "$work/halbeet.log" | tail -20
    fi
    exit 1
}

# The whole run may take $1 seconds at most, whatever hangs.
watchdog() {
    local limit=$1
    (
        trap 'kill "$nap" 2>/dev/null; exit 0' TERM
        sleep "$limit" &
        nap=$!
        wait "$nap"
        echo "FAIL: the run took longer than $limit s"
        kill -TERM $$
    ) 2>/dev/null &
    pids+=($!)
}

# ---- a private X server ------------------------------------------------------------------

start_x() {
    local n xpid
    for n in 91 92 93 94 95 96 97 98 99; do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        # -noreset: the server would otherwise reset each time its last client leaves (the
        # xdotool check, a program that quits), refusing connections for a moment.
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
        xpid=$!
        for _ in $(seq 50); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            kill -0 "$xpid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$xpid" 2>/dev/null && [[ -e /tmp/.X11-unix/X$n ]]; then
            pids+=("$xpid")
            display=":$n"
            break
        fi
        # Someone else took this number between the check and the start.
        kill "$xpid" 2>/dev/null
        wait "$xpid" 2>/dev/null
    done
    [[ -n $display ]] || { echo "SKIP: no free display among :91..:99"; exit 77; }
    export DISPLAY=$display
    timeout 10 xdotool getmouselocation >/dev/null 2>&1 || fail "the X server on $display does not answer"
    echo "X server on $display"
}

# ---- the program, with its own settings and data -----------------------------------------

export APPDATA=$work/appdata
export XDG_DATA_HOME=$work/data
mkdir -p "$APPDATA/Dovelarks/Halbeet"
printf '[DELAYCARD]\r\nDELAY=100\r\n[LANGUAGE]\r\nLANG=EN\r\n' >"$APPDATA/Dovelarks/Halbeet/Halbeet.ini"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR

start_program() {
    "$bin" >>"$work/halbeet.log" 2>&1 &
    app=$!
    pids+=("$app")
}

alive() { kill -0 "$app" 2>/dev/null || fail "the program has ended"; }

# The visible windows whose title is exactly $1, one id a line.
windows_named() { timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }

# Sets WX WY WW WH of window $1.
geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(timeout 5 xdotool getwindowgeometry --shell "$1")" || fail "no geometry for window $1"
    WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

# Waits up to $2 seconds for a visible window titled $1 whose width is $3; prints its id.
wait_window() {
    local title=$1 seconds=$2 width=$3 id
    local end=$((SECONDS + seconds))
    while ((SECONDS < end)); do
        alive
        for id in $(windows_named "$title"); do
            geometry "$id"
            if ((WW == width)); then
                echo "$id"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}

# The scale the table is shown at: a script that sets TABLE_SCALE=2 plays in a window resized
# to show the table at twice its size. Table coordinates are those of the layout either way.
S=${TABLE_SCALE:-1}

# Finds the main window and sets main, TX and TY (the table's top left corner on the screen);
# resizes it first when the table is to be scaled.
find_main_window() {
    main=$(wait_window Halbeet 20 560) || fail "the main window did not appear"
    geometry "$main"
    if ((S != 1)); then
        local bar=$((WH - 413)) # the menu bar
        # Into the corner first, so that the larger window stays on the screen.
        timeout 5 xdotool windowmove "$main" 0 0 ||
            fail "xdotool could not move the window"
        timeout 5 xdotool windowsize "$main" $((560 * S)) $((394 * S + 19 + bar)) ||
            fail "xdotool could not resize the window"
        sleep 1
        geometry "$main"
        ((WW == 560 * S)) || fail "the window is ${WW} wide, not $((560 * S))"
    fi
    # The client area (the table, 394 high at scale 1, and the 19-pixel status bar) lies
    # below the menu bar.
    TX=$WX
    TY=$((WY + WH - 19 - 394 * S))
    echo "main window $main at $WX,$WY ${WW}x$WH; the table (scale $S) starts at $TX,$TY"
}

click_at() { # table coordinates
    timeout 5 xdotool mousemove $((TX + $1 * S)) $((TY + $2 * S)) click 1 || fail "xdotool could not click"
}
shot() { timeout 10 import -window root "$out/$1" || fail "no screenshot $1"; }
same_picture() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }

# Types the name $1 into the name dialog and confirms it.
enter_name() {
    local names
    names=$(wait_window Halbeet 10 286) || fail "the name dialog did not appear"
    geometry "$names"
    timeout 5 xdotool mousemove $((WX + 150)) $((WY + 34)) click 1
    timeout 5 xdotool key --clearmodifiers ctrl+a
    timeout 5 xdotool type --delay 20 "$1"
    timeout 5 xdotool key Return
    for _ in $(seq 50); do
        [[ -z $(windows_named Halbeet | while read -r id; do geometry "$id"; ((WW == 286)) && echo "$id"; done) ]] && break
        sleep 0.2
    done
    echo "name entered"
}

# The one window titled Halbeet besides the main window (a question or a notice), or nothing.
message_window() { windows_named Halbeet | while read -r id; do [[ $id != "$main" ]] && echo "$id"; done; }

# Waits up to 10 s for a question or notice and prints its id (nothing when none came up).
wait_message() {
    local id=""
    for _ in $(seq 50); do
        id=$(message_window)
        [[ -n $id ]] && break
        sleep 0.2
    done
    echo "$id"
}

# Answers a question or notice window $1 with the key $2, the pointer over it.
answer_with() {
    geometry "$1"
    timeout 5 xdotool mousemove $((WX + WW / 2)) $((WY + WH / 2))
    timeout 5 xdotool key "$2"
}

# ---- a deal in play ----------------------------------------------------------------------

# The table and the status bar, the client area of the main window.
table_shot() { timeout 10 import -window root -crop "560x413+$TX+$TY" "$1" || fail "no picture of the table"; }
# Colours in the middle of the table: the bare green has one or two, cards on the trick many.
trick_colours() {
    timeout 10 import -window root -crop "136x152+$((TX + 208))+$((TY + 120))" -format %k info: 2>/dev/null
}
hand_strip() { timeout 10 import -window root -crop "264x36+$((TX + 144))+$((TY + 344))" "$1" 2>/dev/null; }

# Bids 6 on the deal waiting for the bid (with any three other bids the deal is played).
bid_six() {
    sleep 1 # the deal is laid out card by card
    click_at 117 370
    sleep 0.5
    timeout 5 xdotool key --delay 60 Down Down Down Down Return
    sleep 0.5
    click_at 269 252
    sleep 1
}

# Plays the human's cards, trying them from the right until one is taken, until the command
# "$1 <cards played>" succeeds once the computers have answered; sets played.
play_until() {
    local card=13 deadline=$((SECONDS + 90))
    played=0
    while :; do
        ((SECONDS < deadline)) || fail "the wanted position did not come within 90 s"
        alive
        hand_strip "$work/before.png" || fail "no picture of the hand"
        click_at $((144 + 16 * (card - 1) + (card == 13 ? 35 : 8))) 370
        sleep 0.25
        hand_strip "$work/after.png" || fail "no picture of the hand"
        if same_picture "$work/before.png" "$work/after.png"; then
            card=$((card == 1 ? 13 : card - 1))
            continue
        fi
        played=$((played + 1))
        card=13
        sleep 3 # the trick is taken and led up to the human's next turn
        "$1" "$played" && break
    done
}

# Waits up to 10 s for the program to end; sets status to its exit status.
wait_for_end() {
    for _ in $(seq 50); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$app" 2>/dev/null && fail "$1"
    wait "$app" 2>/dev/null
    status=$?
}

# Waits for the question about the saved game and answers it with key $1 (alt+y or alt+n);
# a screenshot of the question goes to $out/$2 when a name is given.
answer_resume() {
    local question
    question=$(wait_message)
    [[ -n $question ]] || fail "the saved game was not offered"
    [[ -n ${2:-} ]] && shot "$2"
    answer_with "$question" "$1"
    sleep 2
}
