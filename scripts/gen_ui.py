#!/usr/bin/python3
"""Writes the screen layouts resources/*.ui from the layout tables below.

The tables are in twips, as the screens were designed; Qt Designer works in pixels, so every
position and size is twips / 15 rounded (96 dots per inch). Run it after changing a table:
    /usr/bin/python3 scripts/gen_ui.py
With a folder as argument it writes there instead. With --check FOLDER it writes nothing and fails
when a layout in FOLDER differs from what the tables make (a test does so with resources/).
"""
import atexit
import difflib
import shutil
import sys
import tempfile
from pathlib import Path
from xml.sax.saxutils import escape

CHECK = len(sys.argv) > 2 and sys.argv[1] == "--check"
RES = (Path(tempfile.mkdtemp()) if CHECK else
       Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources")
if CHECK:
    atexit.register(shutil.rmtree, RES)

RED = "rgb(255, 0, 0)"
TEAL = "rgb(0, 192, 192)"
FACE = "rgb(255, 192, 128)"
BUTTON_CSS = (
    "QPushButton { background-color: %s; border: 1px solid rgb(128, 96, 64); border-radius: 2px; }\n"
    "QPushButton:hover { background-color: rgb(255, 208, 160); }\n"
    "QPushButton:pressed { background-color: rgb(230, 168, 108); }\n"
    "QPushButton:focus { border: 2px solid rgb(0, 0, 0); }\n" % FACE
)


def px(twips):
    return int(round(twips / 15.0))


def font_css(font):
    if not font:
        return ""
    family, size, *style = font
    words = []
    if "italic" in style:
        words.append("italic")
    if "bold" in style:
        words.append("bold")
    return 'font: %s %spt "%s";' % (" ".join(words), size, family)


class W:
    def __init__(self, cls, name, left, top, width, height, text=None, font=None, tip=None, css="", **extra):
        self.cls, self.name = cls, name
        self.geo = (px(left), px(top), px(width), px(height))
        self.text, self.font, self.tip, self.css, self.extra = text, font, tip, css, extra


def prop(name, inner, stdset=True):
    attr = "" if stdset else ' stdset="0"'
    return '   <property name="%s"%s>%s</property>\n' % (name, attr, inner)


def string(text):
    # Runs of blanks are part of several captions; the .ui format keeps them as written.
    return "<string>%s</string>" % escape(text)


def widget_xml(w):
    out = '  <widget class="%s" name="%s">\n' % (w.cls, w.name)
    x, y, wd, ht = w.geo
    out += prop("geometry", "<rect><x>%d</x><y>%d</y><width>%d</width><height>%d</height></rect>" % (x, y, wd, ht))
    if w.text is not None:
        out += prop("text", string(w.text))
    if w.tip:
        out += prop("toolTip", string(w.tip))
    css = (font_css(w.font) + " " + w.css).strip()
    if css:
        out += prop("styleSheet", string(css))
    for key, value in w.extra.items():
        out += prop(key, value)
    out += "  </widget>\n"
    return out


# Screens without a font of their own use the classic 8-point dialog font.
DEFAULT_FONT = ("Arial", 8)


def write_form(name, title, width, height, css, widgets, tab_order, custom=(), form_font=DEFAULT_FONT):
    out = '<?xml version="1.0" encoding="UTF-8"?>\n<ui version="4.0">\n <class>%s</class>\n' % name
    out += ' <widget class="QWidget" name="%s">\n' % name
    out += prop("geometry", "<rect><x>0</x><y>0</y><width>%d</width><height>%d</height></rect>" % (px(width), px(height)))
    out += prop("windowTitle", string(title))
    # A style sheet on the form stops setFont() from reaching the controls, so the form's font is a
    # rule too; a control's own font rule is more specific and wins.
    out += prop("styleSheet", string('QWidget { font: %spt "%s"; }\n' % (form_font[1], form_font[0]) + css))
    for w in widgets:
        out += widget_xml(w)
    out += " </widget>\n"
    if custom:
        out += " <customwidgets>\n"
        for cls, base, header in custom:
            out += "  <customwidget>\n   <class>%s</class>\n   <extends>%s</extends>\n   <header>%s</header>\n  </customwidget>\n" % (cls, base, header)
        out += " </customwidgets>\n"
    out += " <tabstops>\n" + "".join("  <tabstop>%s</tabstop>\n" % t for t in tab_order) + " </tabstops>\n"
    out += " <resources/>\n <connections/>\n</ui>\n"
    (RES / (name + ".ui")).write_text(out, encoding="utf-8")


def tab_sorted(widgets, focusable):
    return [w.name for w in sorted(widgets, key=lambda w: w.extra.get("_tab", 0)) if w.name in focusable]


RIGHT = "<set>Qt::AlignRight|Qt::AlignVCenter</set>"
LEFT = "<set>Qt::AlignLeft|Qt::AlignVCenter</set>"
CENTER = "<set>Qt::AlignCenter</set>"
PICKER = "ui/DatePicker.h"


def buddy(name):
    return "<cstring>%s</cstring>" % name


def start():
    narrow = ("Arial Narrow", "11.25", "bold")
    widgets = [
        W("QLabel", "Label1", 120, 240, 9255, 735, "Havenlicht Koerswacht", ("Arial", "27.75", "bold", "italic"),
          css="color: rgb(255, 128, 0); background: transparent;", alignment=CENTER),
        W("QPushButton", "Command1", 120, 5760, 1815, 495, "ETA Calculator", narrow),
        W("QPushButton", "Command2", 2600, 5760, 1815, 495, "Speed Calculator", narrow),
        W("QPushButton", "Command3", 5080, 5760, 1815, 495, "Koerswacht Info", narrow),
        W("QPushButton", "Command4", 7560, 5760, 1815, 495, "Einde Programma", narrow),
        W("QLabel", "Label3", 3240, 6600, 3495, 375, "Havenlicht Software", ("Arial", "15.75", "bold"),
          css="color: rgb(0, 255, 255); background: transparent;", alignment=CENTER),
    ]
    # The ship picture is painted by the menu itself (app/MainMenu.cpp), top left, not repeated.
    css = BUTTON_CSS
    write_form("Start", "Koerswacht", 9555, 7155, css, widgets, ["Command1", "Command2", "Command3", "Command4"])


def form1():
    f = ("Arial Narrow", "9.75")
    bold = ("Arial Narrow", "11.25", "bold")
    labels = [("Label1", "Vertrek datum", 180, "SailDate"), ("Label6", "Vertrek tijd", 744, "STime"),
              ("Label2", "Tijdsverschil", 1308, "TimeDiff"), ("Label3", "Afstand", 1872, "Dist"),
              ("Label4", "Vaart", 2436, "Vaart"), ("Label5", "Vaartverschil", 3000, "VVers")]
    widgets = [W("QLabel", n, 240, top, 1095, 255, text, f, alignment=RIGHT, buddy=buddy(b)) for n, text, top, b in labels]
    widgets += [
        W("kw::DatePicker", "SailDate", 1680, 120, 1335, 375, None, f, "Open de Kalender en selecteer de juiste datum"),
        W("QLineEdit", "STime", 1680, 684, 1095, 375, "", None, "Voer de vertrektijd in (hh.mm)"),
        W("QLineEdit", "TimeDiff", 1680, 1248, 1095, 375, "", f, "Tijdsverschil in uren, max 1 decimaal"),
        W("QLineEdit", "Dist", 1680, 1812, 1095, 375, "", f, "Afstand in mijlen"),
        W("QLineEdit", "Vaart", 1680, 2376, 1095, 375, "", f, "Beginwaarde vaart in knopen"),
        W("QLineEdit", "VVers", 1680, 2940, 1095, 375, "", f, "Stapgrootte vaart"),
        W("QRadioButton", "Option1", 3240, 60, 3015, 375, "Geen Datumgrens Passage", f, "Geen datumgrens passage",
          checked="<bool>true</bool>"),
        W("QRadioButton", "Option2", 3240, 360, 3015, 375, "Datumgrens Passage - 1 dag vooruit", f,
          "Datumgrens passage van Westelijk naar Oostelijk Halfrond"),
        W("QRadioButton", "Option3", 3240, 720, 3015, 375, "Datumgrens Passage - 1 dag terug", f,
          "Datumgrens Passage van Oostelijk naar Westelijk Halfrond"),
        W("QPushButton", "Command1", 3240, 1200, 2535, 375, "Bereken ETA", bold,
          "Berekent de ETA's en gaat naar het resultaten scherm"),
        W("QPushButton", "Command2", 3240, 1780, 2535, 375, "SpeedCalculator", bold, "Klik en naar SpeedCalculator"),
        W("QPushButton", "Command3", 3240, 2360, 2535, 375, "MENU", bold, "Klik en ga naar het Hoofdmenu"),
        W("QPushButton", "Command4", 3240, 2940, 2535, 375, "Einde Programma", bold),
    ]
    css = ("#Form1 { background-color: %s; }\n"
           "QLabel { color: %s; background: transparent; }\n"
           "QRadioButton { color: %s; background-color: %s; }\n" % (TEAL, RED, RED, TEAL)) + BUTTON_CSS
    order = ["SailDate", "STime", "TimeDiff", "Dist", "Vaart", "VVers", "Option1", "Option2", "Option3",
             "Command1", "Command2", "Command3", "Command4"]
    write_form("Form1", "ETA Calculator", 6480, 3540, css, widgets, order, [("kw::DatePicker", "QDateEdit", PICKER)],
               form_font=("Arial Narrow", 9))


def form2():
    label_font = ("Arial Narrow", "12", "bold")
    widgets = [
        W("QLabel", "Label1", 120, 240, 1215, 375, " Speed", label_font, alignment=LEFT),
        W("QLabel", "Label2", 1560, 240, 3735, 375, " ETA Dag" + " " * 22 + "Datum - Tijd", label_font, alignment=LEFT),
    ]
    rows = [
        ((90, 600, 375, 0), (1560, 600, 375, 11), (3600, 600, 375, 22)),
        ((90, 1170, 375, 1), (1560, 1200, 420, 12), (3600, 1176, 420, 36)),
        ((90, 1755, 375, 2), (1560, 1800, 420, 13), (3600, 1752, 420, 23)),
        ((90, 2325, 375, 3), (1560, 2400, 420, 14), (3600, 2328, 420, 24)),
        ((90, 2910, 375, 4), (1560, 2880, 420, 15), (3600, 2904, 420, 25)),
        ((90, 3480, 375, 5), (1560, 3480, 420, 16), (3600, 3480, 420, 26)),
        ((90, 4050, 375, 6), (1560, 4080, 420, 17), (3600, 4056, 420, 27)),
        ((90, 4635, 375, 7), (1560, 4680, 420, 18), (3600, 4632, 420, 28)),
        ((90, 5205, 375, 8), (1560, 5280, 420, 19), (3600, 5208, 420, 29)),
        ((120, 5790, 375, 9), (1560, 5880, 420, 20), (3600, 5784, 420, 30)),
        ((90, 6360, 375, 10), (1560, 6360, 420, 21), (3600, 6360, 420, 45)),
    ]
    tabbed = []
    # The date cells' initial blanks are set by the screen: uic drops a text of blanks alone.
    for i, (speed, day, date) in enumerate(rows):
        for (name, (left, top, height, tab), width, text) in (
                ("Speed_%d" % i, speed, 1215, ""), ("ETADay_%d" % i, day, 1695, ""),
                ("ETADate_%d" % i, date, 1935, "")):
            widgets.append(W("QLineEdit", name, left, top, width, height, text))
            tabbed.append((tab, name))
    summary = [("Label3", "Vertrek Datum en Tijd", 240, "Text1", 600, 34), ("Label4", "Afstand in Mijlen", 1240, "Text2", 1600, 35),
               ("Label5", "Datumgrens Correctie", 2240, "Text3", 2600, 40), ("Label6", "Tijdsverschil", 3240, "Text4", 3600, 41)]
    for label, caption, ltop, box, btop, tab in summary:
        widgets.append(W("QLabel", label, 5760, ltop, 3015, 375, caption, label_font, alignment=LEFT, buddy=buddy(box)))
        widgets.append(W("QLineEdit", box, 5760, btop, 2775, 420, ""))
        tabbed.append((tab, box))
    buttons = [("Command1", "Nieuwe Berekening", 4200, 42, "Gaat terug naar het invoer scherm om data te kunnen veranderen"),
               ("Command2", "Afdrukken", 4880, 43, "Drukt de gegevens af."),
               ("Command3", "MENU", 5560, 44, "Klik en ga naar het hoofd menu."),
               ("Command4", "Einde Programma", 6240, 46, "Sluit het Programma.")]
    for name, caption, top, tab, tip in buttons:
        widgets.append(W("QPushButton", name, 5880, top, 2535, 495, caption, label_font, tip))
        tabbed.append((tab, name))
    css = ("#Form2 { background-color: %s; }\n"
           "QLabel { color: %s; background: transparent; }\n" % (TEAL, RED)) + BUTTON_CSS
    write_form("Form2", "ETA Calculator Resultaten", 8820, 6900, css, widgets, [n for _, n in sorted(tabbed)],
               form_font=("Arial Narrow", 12))


def form3():
    bold = ("Arial Narrow", "12", "bold")
    button = ("Arial Narrow", "12")
    widgets = [
        # The pickers and the option buttons are a few pixels wider than designed, at their
        # designed places: "dd-MM-yyyy" and "Datumgrens Passage, 1 Dag vooruit" need them in
        # Arial's metrics (the pickers' drop-down button covered the year's last digit).
        W("kw::DatePicker", "SDate", 1560, 120, 1290, 405, None, None, "Selekteer Vertrekdatum"),
        W("QLineEdit", "STime", 1560, 735, 1215, 405, "", None, "Vertrektijd (hh.mm)"),
        W("kw::DatePicker", "ADate", 1560, 1335, 1290, 405, None, None, "Selekteer aankomst datum"),
        W("QLineEdit", "ATime", 1560, 1950, 1215, 405, "", None, "Aankomsttijd  (hh.mm)"),
        W("QLineEdit", "TimeDiff", 1560, 2550, 1215, 405, "", None, "Tijdsverschil, in uren (max 1 decimaal)"),
        W("QLineEdit", "Dist", 1560, 3165, 1215, 405, "", None, "Afstand in mijlen"),
        W("QRadioButton", "Option1", 3120, 75, 3030, 255, "Geen Datumgrens Passage", None, "Geen passage datumgrens",
          checked="<bool>true</bool>"),
        W("QRadioButton", "Option2", 3120, 450, 3030, 255, "Datumgrens Passage, 1 Dag vooruit", None,
          "Datumgrens passage van Westelijk naar Oostelijk Halfrond"),
        W("QRadioButton", "Option3", 3120, 840, 3030, 255, "Datumgrens Passage, 1 Dag terug", None,
          "Datumgrens Passage van Oostelijk naar Westelijk Halfrond"),
    ]
    labels = [("Label6", "Vertrek datum", 195, "SDate"), ("Label1", "Vertrek tijd", 804, "STime"),
              ("Label7", "Aankomst datum", 1413, "ADate"), ("Label2", "Aankomst  tijd", 2022, "ATime"),
              ("Label3", "Tijdsverschil", 2631, "TimeDiff"), ("Label4", "Afstand", 3240, "Dist")]
    # 1290 rather than 1215 wide: "Aankomst datum" needs 82 pixels in Arial 8.
    widgets += [W("QLabel", n, 240, top, 1290, 255, text, alignment=LEFT, buddy=buddy(b)) for n, text, top, b in labels]
    widgets += [
        W("QLabel", "Label5", 240, 3840, 2175, 375, "Gemiddelde Snelheid", bold, alignment=LEFT, buddy=buddy("Text1")),
        W("QLineEdit", "Text1", 3000, 3840, 1095, 390, "", bold,
          "Niet invullen, dat doet het programma na het op bereken vaart te klikken."),
        W("QPushButton", "Command1", 3120, 1200, 2295, 375, "Bereken Vaart", button,
          "Berekent de gemiddelde snelheid na het invoeren van al de gegevens."),
        W("QPushButton", "Command4", 3120, 1698, 2295, 375, "Afdrukken", button, "Drukt de snelheid af met de gegevens"),
        W("QPushButton", "Command2", 3120, 2196, 2295, 375, "ETA Calculator", button, "Klik en ga naar ETA Calculator"),
        W("QPushButton", "Command3", 3120, 2694, 2295, 375, "MENU", button, "Klik en ga naar het hoofdmenu"),
        W("QPushButton", "Command5", 3120, 3195, 2295, 375, "Einde Programma", button, "Sluit het programma"),
    ]
    css = ("#Form3 { background-color: %s; }\n"
           "QLabel { color: %s; background: transparent; }\n"
           "QRadioButton { color: %s; background-color: %s; spacing: 2px; }\n" % (TEAL, RED, RED, TEAL)) + BUTTON_CSS
    order = ["SDate", "STime", "ADate", "ATime", "TimeDiff", "Dist", "Option1", "Option2", "Option3", "Text1",
             "Command1", "Command4", "Command2", "Command3", "Command5"]
    write_form("Form3", "SpeedCalculator", 6210, 4335, css, widgets, order, [("kw::DatePicker", "QDateEdit", PICKER)])


def about():
    red = "color: rgb(255, 0, 0); background: transparent;"
    wrap = "<bool>true</bool>"
    top = "<set>Qt::AlignLeft|Qt::AlignTop</set>"
    mail = "koerswacht@example.org"
    web = "www.example.org/koerswacht"
    description = (
        "Koerswacht is een programma dat u helpt met het berekenen van gemiddelde snelheden en ETA's," + " " * 3
        + "Deze versie is eenvoudig gehouden om het te kunnen downloaden van het Internet zonder al te lang on line "
          "te moeten blijven." + " " * 57
        + "Als u het wilt blijven gebruiken stuurt u dan even een E-mail aan " + mail + " " * 96
        + "Het is freeware dus er zijn geen kosten aan het programma verbonden maar u krijgt bericht als er een "
          "nieuwe versie komt." + " " * 88
        + "Voor informatie of opmerkingen stuur een mailtje naar het bovenstaande adres, het kan echter enige tijd "
          "duren voor u antwoord krijgt als ik op zee zit.")
    disclaimer = (
        "Waarschuwing: U mag Koerswacht gebruiken, ik kan echter geen garantie geven dat alles goed werkt. "
        "Ondanks uitvoerig testen is het nooit uitgesloten dat er nog een fout in zit." + " " * 159
        + "Havenlicht Software 2002-2026")
    line_css = "background-color: rgb(255, 0, 0); border: none;"
    widgets = [
        W("QLabel", "picIcon", 240, 240, 540, 540, None, css="border: 2px inset rgb(128, 128, 128); background: transparent;",
          alignment=CENTER),
        W("QLabel", "lblTitle", 1050, 240, 5445, 480, "Application Title", ("Arial", "12", "bold"), css=red),
        W("QLabel", "lblVersion", 1050, 780, 5325, 225, "Version", ("Arial", "9.75", "bold"), css=red),
        W("kw::SpacedLabel", "lblDescription", 1080, 1080, 7365, 2010, description, ("Arial", "9"), css=red, wordWrap=wrap, alignment=top),
        W("kw::SpacedLabel", "Label1", 1080, 3240, 4935, 495, web + " " * 32 + mail, ("Arial", "9.75", "bold"), css=red,
          wordWrap=wrap, alignment=top),
        W("QFrame", "Line1_0", 0, 3840, 8520, 15, None, css=line_css),
        W("QFrame", "Line1_1", 0, 4005, 8520, 15, None, css=line_css),
        W("kw::SpacedLabel", "lblDisclaimer", 240, 4065, 6735, 1065, disclaimer, ("Arial", "9", "bold"), css=red, wordWrap=wrap, alignment=top),
        W("QPushButton", "cmdOK", 7125, 4065, 1260, 345, "OK", None, " Sluit Info", default="<bool>true</bool>"),
        W("QPushButton", "cmdSysInfo", 7140, 4515, 1245, 345, "&System Info...", None, "Geeft Systeem Info"),
    ]
    css = "#frmAbout { background-color: rgb(192, 255, 255); }\n" + BUTTON_CSS
    write_form("frmAbout", "About MyApp", 8535, 5160, css, widgets, ["cmdOK", "cmdSysInfo"],
               [("kw::SpacedLabel", "QLabel", "ui/SpacedLabel.h")], form_font=DEFAULT_FONT)


def check(committed):
    differing = 0
    for made in sorted(RES.glob("*.ui")):
        theirs = (committed / made.name).read_text() if (committed / made.name).exists() else ""
        if theirs != made.read_text():
            differing += 1
            sys.stdout.writelines(difflib.unified_diff(theirs.splitlines(True), made.read_text().splitlines(True),
                                                       str(committed / made.name), "made by gen_ui.py", n=1))
    print(f"layouts: {len(list(RES.glob('*.ui'))) - differing} of {len(list(RES.glob('*.ui')))} as the tables make them")
    return 1 if differing else 0


if __name__ == "__main__":
    start()
    form1()
    form2()
    form3()
    about()
    if CHECK:
        sys.exit(check(Path(sys.argv[2])))
