#!/usr/bin/env python3
"""Builds the default spreadsheet templates shipped with the program (templates/*.xltx).

Only the standard library is used: each part of the package is written as XML text and the
package is zipped with fixed time stamps, so running the script again gives the same parts.

    python3 scripts/make-templates.py [OUTPUT_FOLDER]   (default: templates/ of the repository)
"""
import os
import sys
import zipfile
from xml.sax.saxutils import escape

NS_MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
NS_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
NS_PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"
XML_HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

# ---------------------------------------------------------------- the forms

# Style indices of cellXfs below.
XF_DEFAULT, XF_RIGHT, XF_RIGHT_BOLD, XF_TITLE, XF_CENTRE, XF_INSTITUTION, XF_CAPTION, XF_HEADING, \
    XF_BODY_TEXT, XF_BODY_CENTRE, XF_BODY_DATE, XF_BODY_NUMBER, XF_BODY_LITERAL = range(13)


class Form:
    """One template's sheet: the table's headings with each column's width in characters, the
    heading row, the model row below it with each column's style (the rows the program fills take
    its look), the fixed wording as (cell, text, style, last column of the merge or None), and row
    heights. Every word of a heading, and the words a column commonly holds, fits the column's
    width on a line of its own: a word is never broken."""

    def __init__(self, title, sheet_name, headings, heading_row, model_styles, fixed_text, row_heights,
                 orientation):
        self.title = title
        self.sheet_name = sheet_name
        self.headings = headings
        self.heading_row = heading_row
        self.model_row = heading_row + 1
        self.model_styles = model_styles
        self.fixed_text = fixed_text
        self.row_heights = row_heights
        self.orientation = orientation
        self.columns = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"[:len(headings)]


# The application form: title in A5, institution in A11, trainees from row 14.
APPLICATION = Form(
    title="Заявка на обучение",
    sheet_name="Заявка",
    headings=[
        ("№ п/п", 5.0),
        ("Код программы", 13.0),
        ("Вид обучения", 11.0),
        ("Объём, час.", 9.0),
        ("Форма обучения", 11.0),
        ("Наименование программы", 26.0),
        ("Квартал", 10.0),
        ("Ф.И.О. слушателя", 22.0),
        ("Дата рождения", 11.5),
        ("Должность", 20.0),
        ("Общий стаж", 8.5),
        ("Стаж по специальности", 17.0),
        ("Специальность по диплому", 17.0),
        ("Дата сертификата / аккредитации", 15.5),
        ("Специальность сертификата", 17.0),
        ("E-mail", 24.0),
        ("СНИЛС", 15.5),
    ],
    heading_row=13,
    model_styles={
        "A": XF_BODY_NUMBER, "B": XF_BODY_CENTRE, "C": XF_BODY_CENTRE, "D": XF_BODY_NUMBER,
        "E": XF_BODY_CENTRE, "F": XF_BODY_TEXT, "G": XF_BODY_CENTRE, "H": XF_BODY_TEXT,
        "I": XF_BODY_DATE, "J": XF_BODY_TEXT, "K": XF_BODY_NUMBER, "L": XF_BODY_NUMBER,
        "M": XF_BODY_TEXT, "N": XF_BODY_CENTRE, "O": XF_BODY_TEXT, "P": XF_BODY_TEXT,
        "Q": XF_BODY_LITERAL,
    },
    fixed_text=[
        ("N1", "Приложение к договору", XF_RIGHT, "Q"),
        ("N2", "на оказание образовательных услуг", XF_RIGHT, "Q"),
        ("N3", "В ГАУ ДПО «ТОВЕКС»", XF_RIGHT_BOLD, "Q"),
        ("N4", "от «____» ______________ 20____ г. № ________", XF_RIGHT, "Q"),
        ("A5", "ЗАЯВКА №        на          год", XF_TITLE, "Q"),
        ("A7", "на обучение специалистов по дополнительным профессиональным программам", XF_CENTRE, "Q"),
        ("A8", "(повышение квалификации, профессиональная переподготовка)", XF_CAPTION, "Q"),
        ("A9", "в соответствии с планом обучения на год от медицинской организации:", XF_CENTRE, "Q"),
        ("A11", "", XF_INSTITUTION, "Q"),
        ("A12", "(полное наименование медицинской организации)", XF_CAPTION, "Q"),
    ],
    row_heights={5: 21.0, 11: 18.0, 13: 66.0},
    orientation="landscape",
)



# The room the dropped columns leave goes to the columns whose long words would break: the
# position ("ВРАЧ-ОТОРИНОЛАРИНГОЛОГ") and the certificate's specialty ("Оториноларингология").
EARLIER_WIDTHS = {"Должность": 24.0, "Специальность сертификата": 21.0}


def earlier_application(title, dropped):
    """The application form of an earlier generation of applications: the current form without the
    columns whose headings are `dropped`, the others moving left and a few of them wider; the fixed
    wording spans the narrower table. The counts and signatures below the table are written by the
    program."""
    letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    kept = [(column, (heading, EARLIER_WIDTHS.get(heading, width)))
            for column, (heading, width) in zip(APPLICATION.columns, APPLICATION.headings)
            if heading not in dropped]
    last = letters[len(kept) - 1]
    return Form(
        title=title,
        sheet_name=APPLICATION.sheet_name,
        headings=[heading for _, heading in kept],
        heading_row=APPLICATION.heading_row,
        model_styles={letters[i]: APPLICATION.model_styles[column] for i, (column, _) in enumerate(kept)},
        fixed_text=[(ref, text, style, last if merge_to else None)
                    for ref, text, style, merge_to in APPLICATION.fixed_text],
        row_heights=APPLICATION.row_heights,
        orientation=APPLICATION.orientation,
    )


# The forms of the two earlier generations: without the form of study, and for applications up
# to 2020 without the SNILS.
APPLICATION_2022 = earlier_application("Заявка на обучение на 2022 год", {"Форма обучения"})
APPLICATION_2020 = earlier_application("Заявка на обучение по государственному заданию",
                                       {"Форма обучения", "СНИЛС"})

# The programme list: the programmes from row 5 (headings in row 4).
PROGRAMMES = Form(
    title="Программы обучения",
    sheet_name="Программы",
    headings=[
        ("№ п/п", 5.0),
        ("Код программы", 13.0),
        ("Вид обучения", 9.0),
        ("Объём, час.", 8.0),
        ("Наименование программы", 40.0),
        ("Контингент", 34.0),
        ("Основная специальность", 22.0),
        ("Дополнительные специальности", 32.0),
        ("Год", 7.0),
    ],
    heading_row=4,
    model_styles={
        "A": XF_BODY_NUMBER, "B": XF_BODY_CENTRE, "C": XF_BODY_CENTRE, "D": XF_BODY_CENTRE,
        "E": XF_BODY_TEXT, "F": XF_BODY_TEXT, "G": XF_BODY_TEXT, "H": XF_BODY_TEXT, "I": XF_BODY_NUMBER,
    },
    fixed_text=[
        ("A1", "Дополнительные профессиональные программы и программы профессионального обучения",
         XF_TITLE, "I"),
        ("A2", "(каталог учебного центра «ТОВЕКС»)", XF_CAPTION, "I"),
    ],
    row_heights={1: 21.0, 4: 36.0},
    orientation="landscape",
)

# The positions list: the positions from row 4 (headings in row 3).
POSITIONS = Form(
    title="Должности",
    sheet_name="Должности",
    headings=[
        ("Код", 8.0),
        ("Наименование должности", 70.0),
    ],
    heading_row=3,
    model_styles={"A": XF_BODY_CENTRE, "B": XF_BODY_TEXT},
    fixed_text=[
        ("A1", "Справочник должностей", XF_TITLE, "B"),
    ],
    row_heights={1: 21.0, 3: 21.0},
    orientation="portrait",
)


# The year's training plan: the title in A1, the people from row 4 (headings in row 3).
PLAN = Form(
    title="План обучения",
    sheet_name="План",
    headings=[
        ("№ п/п", 5.0),
        ("Ф.И.О.", 30.0),
        ("Должность", 26.0),
        ("Специальность по диплому", 18.0),
        ("Сертификат / аккредитация до", 14.0),
        ("Специальность сертификата", 24.0),
        ("Осталось дней", 9.5),
        ("Квартал", 9.0),
        ("Программа обучения", 44.0),
    ],
    heading_row=3,
    model_styles={
        "A": XF_BODY_NUMBER, "B": XF_BODY_TEXT, "C": XF_BODY_TEXT, "D": XF_BODY_TEXT, "E": XF_BODY_DATE,
        "F": XF_BODY_TEXT, "G": XF_BODY_NUMBER, "H": XF_BODY_CENTRE, "I": XF_BODY_TEXT,
    },
    fixed_text=[
        ("A1", "План обучения на        год", XF_TITLE, "I"),
        ("A2", "(по срокам окончания сертификатов и аккредитаций)", XF_CAPTION, "I"),
    ],
    row_heights={1: 21.0, 3: 36.0},
    orientation="landscape",
)


class Strings:
    """The shared string table, in order of first use."""

    def __init__(self):
        self.items = []
        self.index = {}

    def add(self, text):
        if text not in self.index:
            self.index[text] = len(self.items)
            self.items.append(text)
        return self.index[text]

    def xml(self):
        out = [XML_HEAD, f'<sst xmlns="{NS_MAIN}" count="{len(self.items)}" uniqueCount="{len(self.items)}">']
        for text in self.items:
            space = ' xml:space="preserve"' if text != text.strip() else ""
            out.append(f"<si><t{space}>{escape(text)}</t></si>")
        out.append("</sst>")
        return "".join(out)


def split_ref(ref):
    letters = ref.rstrip("0123456789")
    return letters, int(ref[len(letters):])


def sheet_xml(strings, form):
    columns = form.columns
    last = columns[-1]
    cells = {}  # row -> {column: (style, shared string index or None)}

    def put(ref, style, text=None):
        column, row = split_ref(ref)
        cells.setdefault(row, {})[column] = (style, None if text is None else strings.add(text))

    merges = []
    for ref, text, style, merge_to in form.fixed_text:
        column, row = split_ref(ref)
        put(ref, style, text if text else None)
        if merge_to:
            merges.append(f"{ref}:{merge_to}{row}")
            if style == XF_INSTITUTION:  # the line under the institution's name spans the merge
                for c in columns[columns.index(column) + 1:columns.index(merge_to) + 1]:
                    put(f"{c}{row}", style)
    for column, (heading, _) in zip(columns, form.headings):
        put(f"{column}{form.heading_row}", XF_HEADING, heading)
    for column in columns:
        put(f"{column}{form.model_row}", form.model_styles[column])

    out = [XML_HEAD, f'<worksheet xmlns="{NS_MAIN}" xmlns:r="{NS_REL}">',
           '<sheetPr><pageSetUpPr fitToPage="1"/></sheetPr>',
           f'<dimension ref="A1:{last}{form.model_row}"/>',
           '<sheetViews><sheetView tabSelected="1" zoomScale="90" zoomScaleNormal="90" workbookViewId="0">'
           f'<selection activeCell="A{form.model_row}" sqref="A{form.model_row}"/></sheetView></sheetViews>',
           '<sheetFormatPr defaultRowHeight="15"/>',
           "<cols>"]
    for i, (_, width) in enumerate(form.headings, start=1):
        out.append(f'<col min="{i}" max="{i}" width="{width}" customWidth="1"/>')
    out.append("</cols><sheetData>")
    for row in sorted(cells):
        height = form.row_heights.get(row)
        attrs = f' ht="{height}" customHeight="1"' if height else ""
        out.append(f'<row r="{row}"{attrs}>')
        for column in sorted(cells[row], key=columns.index):
            style, text = cells[row][column]
            if text is None:
                out.append(f'<c r="{column}{row}" s="{style}"/>')
            else:
                out.append(f'<c r="{column}{row}" s="{style}" t="s"><v>{text}</v></c>')
        out.append("</row>")
    out.append("</sheetData>")
    if merges:
        out.append(f'<mergeCells count="{len(merges)}">')
        out.extend(f'<mergeCell ref="{m}"/>' for m in merges)
        out.append("</mergeCells>")
    out.append('<printOptions horizontalCentered="1"/>')
    out.append('<pageMargins left="0.4" right="0.4" top="0.6" bottom="0.6" header="0.3" footer="0.3"/>')
    out.append(f'<pageSetup paperSize="9" orientation="{form.orientation}" fitToWidth="1" fitToHeight="0"/>')
    out.append("</worksheet>")
    return "".join(out)


def styles_xml():
    font = '<font>{b}{i}<sz val="{size}"/><name val="Times New Roman"/><family val="1"/><charset val="204"/></font>'
    fonts = [
        font.format(b="", i="", size=11),        # 0 ordinary text
        font.format(b="<b/>", i="", size=11),    # 1 bold text
        font.format(b="<b/>", i="", size=14),    # 2 title
        font.format(b="", i="<i/>", size=9),     # 3 captions under lines
        font.format(b="", i="", size=10),        # 4 table body
        font.format(b="<b/>", i="", size=10),    # 5 table headings
    ]
    thin = '<{0} style="thin"><color indexed="64"/></{0}>'
    borders = [
        "<border><left/><right/><top/><bottom/><diagonal/></border>",
        "<border>" + "".join(thin.format(side) for side in ("left", "right", "top", "bottom")) + "<diagonal/></border>",
        "<border><left/><right/><top/>" + thin.format("bottom") + "<diagonal/></border>",
    ]

    def xf(font_id=0, border_id=0, num_fmt=0, horizontal=None, vertical=None, wrap=False):
        attrs = f'numFmtId="{num_fmt}" fontId="{font_id}" fillId="0" borderId="{border_id}" xfId="0"'
        if num_fmt:
            attrs += ' applyNumberFormat="1"'
        if font_id:
            attrs += ' applyFont="1"'
        if border_id:
            attrs += ' applyBorder="1"'
        align = ""
        if horizontal or vertical or wrap:
            attrs += ' applyAlignment="1"'
            align = "<alignment"
            if horizontal:
                align += f' horizontal="{horizontal}"'
            if vertical:
                align += f' vertical="{vertical}"'
            if wrap:
                align += ' wrapText="1"'
            align += "/>"
            return f"<xf {attrs}>{align}</xf>"
        return f"<xf {attrs}/>"

    xfs = [
        xf(),                                                                   # XF_DEFAULT
        xf(horizontal="right"),                                                 # XF_RIGHT
        xf(font_id=1, horizontal="right"),                                      # XF_RIGHT_BOLD
        xf(font_id=2, horizontal="center", vertical="center"),                  # XF_TITLE
        xf(horizontal="center", vertical="center", wrap=True),                  # XF_CENTRE
        xf(font_id=1, border_id=2, horizontal="center", vertical="center", wrap=True),  # XF_INSTITUTION
        xf(font_id=3, horizontal="center", vertical="top"),                     # XF_CAPTION
        xf(font_id=5, border_id=1, horizontal="center", vertical="center", wrap=True),  # XF_HEADING
        xf(font_id=4, border_id=1, horizontal="left", vertical="top", wrap=True),       # XF_BODY_TEXT
        xf(font_id=4, border_id=1, horizontal="center", vertical="top", wrap=True),     # XF_BODY_CENTRE
        xf(font_id=4, border_id=1, num_fmt=164, horizontal="center", vertical="top"),   # XF_BODY_DATE
        xf(font_id=4, border_id=1, horizontal="center", vertical="top"),                # XF_BODY_NUMBER
        xf(font_id=4, border_id=1, num_fmt=49, horizontal="center", vertical="top"),    # XF_BODY_LITERAL
    ]
    return "".join([
        XML_HEAD, f'<styleSheet xmlns="{NS_MAIN}">',
        '<numFmts count="1"><numFmt numFmtId="164" formatCode="dd\\.mm\\.yyyy"/></numFmts>',
        f'<fonts count="{len(fonts)}">', "".join(fonts), "</fonts>",
        '<fills count="2"><fill><patternFill patternType="none"/></fill>'
        '<fill><patternFill patternType="gray125"/></fill></fills>',
        f'<borders count="{len(borders)}">', "".join(borders), "</borders>",
        '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>',
        f'<cellXfs count="{len(xfs)}">', "".join(xfs), "</cellXfs>",
        '<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>',
        '<dxfs count="0"/><tableStyles count="0" defaultTableStyle="TableStyleMedium2" defaultPivotStyle="PivotStyleLight16"/>',
        "</styleSheet>",
    ])


def template_parts(form):
    strings = Strings()
    sheet = sheet_xml(strings, form)
    sheet_name = form.sheet_name
    return {
        "[Content_Types].xml": "".join([
            XML_HEAD, '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">',
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>',
            '<Default Extension="xml" ContentType="application/xml"/>',
            '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"/>',
            '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>',
            '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>',
            '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>',
            '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>',
            '<Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>',
            "</Types>"]),
        "_rels/.rels": "".join([
            XML_HEAD, f'<Relationships xmlns="{NS_PKG_REL}">',
            '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>',
            '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>',
            '<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml"/>',
            "</Relationships>"]),
        "docProps/core.xml": "".join([
            XML_HEAD,
            '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
            'xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" '
            'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">',
            f"<dc:title>{escape(form.title)}</dc:title>",
            '<dcterms:created xsi:type="dcterms:W3CDTF">2023-01-01T00:00:00Z</dcterms:created>',
            "</cp:coreProperties>"]),
        # The program as the maker: a default template that still names it was never saved by a
        # spreadsheet program, so the program may bring it up to date.
        "docProps/app.xml": "".join([
            XML_HEAD,
            '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">',
            "<Application>zajavki</Application><DocSecurity>0</DocSecurity>",
            "</Properties>"]),
        "xl/workbook.xml": "".join([
            XML_HEAD, f'<workbook xmlns="{NS_MAIN}" xmlns:r="{NS_REL}">',
            "<workbookPr/>",
            '<bookViews><workbookView xWindow="0" yWindow="0" windowWidth="28800" windowHeight="12300" activeTab="0"/></bookViews>',
            f'<sheets><sheet name="{sheet_name}" sheetId="1" r:id="rId1"/></sheets>',
            f"<definedNames><definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">"
            f"'{sheet_name}'!${form.heading_row}:${form.heading_row}</definedName></definedNames>",
            '<calcPr calcId="191029"/>',
            "</workbook>"]),
        "xl/_rels/workbook.xml.rels": "".join([
            XML_HEAD, f'<Relationships xmlns="{NS_PKG_REL}">',
            '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>',
            '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>',
            '<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>',
            "</Relationships>"]),
        "xl/worksheets/sheet1.xml": sheet,
        "xl/styles.xml": styles_xml(),
        "xl/sharedStrings.xml": strings.xml(),
    }


TEMPLATES = {
    "Zajavka2023.xltx": APPLICATION,
    "Zajavka2022.xltx": APPLICATION_2022,
    "Zajavka2020.xltx": APPLICATION_2020,
    "Zicl2021.xltx": PROGRAMMES,
    "Doljn.xltx": POSITIONS,
    "Plan.xltx": PLAN,
}


def write_package(path, parts):
    temp = path + ".part"
    with zipfile.ZipFile(temp, "w") as package:
        for name, text in parts.items():
            info = zipfile.ZipInfo(name, date_time=(2023, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0
            info.external_attr = 0
            package.writestr(info, text.encode("utf-8"), compresslevel=9)
    os.replace(temp, path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "templates")
    os.makedirs(out_dir, exist_ok=True)
    for name, form in TEMPLATES.items():
        write_package(os.path.join(out_dir, name), template_parts(form))
        print(os.path.normpath(os.path.join(out_dir, name)))


if __name__ == "__main__":
    main()
