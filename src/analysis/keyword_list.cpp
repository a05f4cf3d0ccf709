// The interpreter's reserved words, compiled into the program: eight CR LF lines,
// a version line, a device-options line, then three word groups each followed by
// an empty line. 3,240 bytes plus the terminating zero.
#include "analysis/keyword_list.h"

namespace vennik {

const char kEmbeddedKeywordList[] =
    "5.05.03\r\n"
    "mmdeviceoptions 01011011\r\n"
    "   abs abs( acos acos( adc and arc as asc asc( asin asin( atn atn( autosave backlight bezier "
    "bin bin$ bin$( blit blit box camera case cfunction chdir chr chr$ chr$( cint cint( circle "
    "clear clocktrim close cls color colour const continue cos cos( cpu csub ctrlval ctrlval( cwd "
    "cwd$ dac data date date$ datetime$( day$( definefont deg deg( dht22 dim dir dir$ dir$( distance "
    "distance( do ds18b20 ds18b20( edit else elseif end endif eof eof( epoch( erase error eval "
    "eval( exit exp exp( fft files fix fix( font for function getscanline getscanline( gosub goto "
    "gps( gui hex hex$ hex$( humid i2c i2c2 if inkey inkey$ input input$ input$( instr instr( int "
    "int( ir ireturn json$( keypad kill lcase lcase$ lcase$( lcd lcompare( left left$ left$( len "
    "len( let lgetstr$( library line linstr( list llen( load loc loc( local lof lof( log log( longstring "
    "loop max max( memory mid mid$ mid$( min min( mkdir mm.device mm.device$ mm.errmsg mm.errmsg$ "
    "mm.errno mm.fontheight mm.fontwidth mm.hpos mm.hres mm.i2c mm.onewire mm.persist mm.ver mm.vpos "
    "mm.vres mm.watchdog mod movement( msgbox msgbox( name new next not oct oct$ oct$( on onewire "
    "open option or output owsearch( page pause peek peek( pi pin pin( pixel pixel( play poke port "
    "port( pos print pulse pulsin pulsin( pwm rad rad( random randomize rbox read refresh rem restore "
    "return rgb rgb( right right$ right$( rmdir rnd rnd( rtc run save seek select sensorfusion "
    "servo servo setpin settick sgn sgn( sin sin( space space$ space$( spc spc( spi spi( spi2 spi2( "
    "spi3 spi3( sprite sprite( sqr sqr( start static step str str$ str$( string string$ string$( "
    "sub tab tab( tan tan( tempr tempr( text then time time$ timer to touch touch( trace triangle "
    "triangle troff tron tts ucase ucase$ ucase$( until val val( var watchdog wend while ws2812 "
    "xmodem xor   \r\n"
    "\r\n"
    " #gps abort ain all altitude append area autorefresh autorun bargauge base baudrate bcolour "
    "beep bitmap black blue break brown button byte c16 c20 c40 c8 calibrate calibrate cancel caption "
    "capture cfunaddr checkbox cin cmd colorcode colourcode concat copy cyan default delete din "
    "disable disable display displaybox dop dout enable explicit fcolour file fin flac flashpages "
    "float frame frequency gauge geoid getreg gettime gps gray green hide hide ignore ili9341_16 "
    "ili9841 image init intb integer interrupt interrupt inth intl inverse is key latitude lcdpanel "
    "led longitude lower magenta magnitude move nointerrupt none numberbox oc off oout phase progmem "
    "pulldown pullup pullup radio red redraw register replace reset restart resume satellites scrollh "
    "scrollr scrollv search send serial setreg settime setup show show skip slave sleep speed spinbox "
    "ssd1963_5_16 ssd1963_5_640 ssd1963_5_buff ssd1963_7_16 ssd1963_7_640 ssd1963_7_buff ssd1963_8_16 "
    "ssd1963_8_640 ssd1963_8_buff startline stop switch test textbox title tone track trigger trim "
    "upper usbkeyboard valid varaddr vartbl vcc volume wav white word write write yellow \r\n"
    "\r\n"
    " auto be console controls down echo es fr gr ili9163 ili9341 invert it keyboard landscape "
    "lastref lastx lasty length noconsole noecho noinvert portrait pu ref rl rlandscape rp rportrait "
    "sdcard ssd1963_4 ssd1963_5 ssd1963_5a ssd1963_7 ssd1963_7a ssd1963_8 st7735 uk up us zzzzzzzzzz\r\n"
    "\r\n";

static_assert(sizeof(kEmbeddedKeywordList) == 3241, "keyword list must be 3,240 bytes and a zero");

}  // namespace vennik
