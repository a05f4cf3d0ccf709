' Blink an LED on pin 15 and count the blinks
Option Explicit
Const LED_PIN = 15
Dim count, delay

delay = 250
SetPin LED_PIN, DOUT

Do
  Blink LED_PIN, delay
  count = count + 1
  If count Mod 10 = 0 Then Print "Blinks so far: "; count
Loop Until count >= 100

Sub Blink(pin, ms)
  Local half
  half = ms / 2
  Pin(pin) = 1
  Pause half
  Pin(pin) = 0
  Pause half
End Sub
