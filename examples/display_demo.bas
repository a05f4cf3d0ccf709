' Maximite display demo: labels, text alignment codes and a CSub block
Dim integer x, y
Dim string title$ = "Demo"

Text 160, 10, title$, CT
Box 10, 30, 300, 200
For x = 0 To 9
  y = x * x
  Pixel 20 + x * 10, 220 - y
Next x
GoSub finish
End

finish:
  Print "done (" x ", " y
  Return

CSub Blink integer, integer
  00000000
  27BDFFF8 AFBF0004 00852021 0C000000 8FBF0004 03E00008 27BD0008
End CSub
