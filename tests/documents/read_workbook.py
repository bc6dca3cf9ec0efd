#!/usr/bin/env python3
"""Reads a workbook with openpyxl, a reader independent of the program's own, and prints what it
finds as JSON: the active sheet's name and merged ranges, and for each cell asked for its value
(dates as yyyy-mm-dd), the type openpyxl gives it, its number format and its four border lines.

    read_workbook.py FILE.xlsx A5 I14 ...
"""
import datetime
import json
import sys

import openpyxl


def main():
    path, refs = sys.argv[1], sys.argv[2:]
    book = openpyxl.load_workbook(path)
    sheet = book.active
    cells = {}
    for ref in refs:
        cell = sheet[ref]
        value = cell.value
        kind = type(value).__name__
        if isinstance(value, (datetime.datetime, datetime.date)):
            value = value.strftime("%Y-%m-%d")
        border = cell.border
        cells[ref] = {
            "value": value,
            "type": kind,
            "format": cell.number_format,
            "borders": [border.left.style, border.right.style, border.top.style, border.bottom.style],
        }
    json.dump({
        "sheet": sheet.title,
        "merged": sorted(str(r) for r in sheet.merged_cells.ranges),
        "cells": cells,
    }, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
