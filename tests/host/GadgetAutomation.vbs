'' A real automation client: creates the registered gadget by its ProgID and
' sets and reads its four properties by name. Each mismatch is reported on a
' line of its own; the last line says how many there were. (Wine's script
' host exits with 0 even when the script fails, so the line is the verdict.)
Option Explicit

Dim failures
failures = 0

Sub Check(name, actual, expected)
  If actual <> expected Then
    WScript.Echo name & ": expected [" & expected & "], got [" & actual & "]"
    failures = failures + 1
  End If
End Sub

Dim gadget, feeds
' The host's own CreateObject: Wine's VBScript CreateObject refuses any
' object with IObjectWithSite when the script host offers no service
' provider, as cscript does not.
Set gadget = WScript.CreateObject("QuorvaneRSS.QuorvaneRSSGadget")

Check "FeedRefreshRate default", gadget.FeedRefreshRate, 30
Check "DelayBetweenFeeds default", gadget.DelayBetweenFeeds, 7
Check "SpeechSpeed default", gadget.SpeechSpeed, 0

' Closed local ports: the fetcher's downloads fail at once.
feeds = "http://127.0.0.1:1/a.xml URL http://127.0.0.1:1/b.xml URL "
gadget.FeedURLs = feeds
Check "FeedURLs", gadget.FeedURLs, feeds
gadget.FeedRefreshRate = 45
Check "FeedRefreshRate", gadget.FeedRefreshRate, 45
gadget.DelayBetweenFeeds = 3
Check "DelayBetweenFeeds", gadget.DelayBetweenFeeds, 3
gadget.SpeechSpeed = -4
Check "SpeechSpeed", gadget.SpeechSpeed, -4

gadget.FeedURLs = ""
If Len(gadget.FeedURLs) = 0 Or InStr(gadget.FeedURLs, " URL ") > 0 Then
  WScript.Echo "FeedURLs: an empty list must read back as the default URL alone, got [" & gadget.FeedURLs & "]"
  failures = failures + 1
End If

Set gadget = Nothing
WScript.Echo "mismatches: " & failures
WScript.Quit failures
