' Thermostat for a Micromite: reads a DS18B20 and switches a relay
Option Explicit
Const SENSOR_PIN = 16, RELAY_PIN = 17
Const HYSTERESIS = 0.5
Dim setpoint = 21.0, temp, heating
Dim history(23)

SetPin RELAY_PIN, DOUT
heating = 0

main:
  temp = ReadTemp(SENSOR_PIN)
  Control temp
  Log temp
  Pause 5000
GoTo main

Function ReadTemp(pin)
  Local t
  t = DS18B20(pin)
  If t > 120 Then t = -99 ' sensor error
  ReadTemp = t
End Function

Sub Control(t)
  If t < setpoint - HYSTERESIS Then heating = 1
  If t > setpoint + HYSTERESIS Then heating = 0
  Pin(RELAY_PIN) = heating
End Sub

Sub Log(t)
  Static slot
  history(slot) = t
  slot = (slot + 1) Mod 24
  Print Time$; "  "; Str$(t, 3, 1); " C"; IIf(heating, " heating", "")
End Sub
