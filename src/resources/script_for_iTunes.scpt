-- Play with Gramolux
-- Sends the tracks selected in iTunes to Gramolux, which plays the first
-- and queues the rest.
tell application "iTunes"
	set chosen to selection
end tell
repeat with t in chosen
	tell application "iTunes" to set p to location of t
	do shell script "gramolux " & quoted form of POSIX path of p & " >/dev/null 2>&1 &"
end repeat
