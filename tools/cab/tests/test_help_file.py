"""The help file the cabinets install (resources/tavil.htm): what the help
viewer needs to open it where the program points ("file:tavil.htm#Main_Contents"),
and a word on every entry of the program's popup menu (menu 100 of
resources/tavil.rc), so that a renamed or added entry shows here."""

import re
import unittest
from html.parser import HTMLParser

from cab_test_support import TOOLS

RESOURCES = TOOLS.parent.parent / "resources"
HELP_FILE = RESOURCES / "tavil.htm"
RESOURCE_SCRIPT = RESOURCES / "tavil.rc"
# The entry the process list replaces each time the menu opens; no one sees it.
NEVER_SHOWN = {"Новый"}


def popup_menu_texts():
    script = RESOURCE_SCRIPT.read_text(encoding="utf-8")
    start = script.index("\n100 MENU")
    menu = script[start:script.index("\nEND\n", start)]
    return [text.strip() for text in re.findall(r'(?:MENUITEM|POPUP)\s+"([^"]*)"', menu)]


class HelpPageParser(HTMLParser):
    def __init__(self):
        super().__init__()
        self.anchors = []
        self.metas = {}
        self.links = []
        self.text = []

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        if tag == "a" and "name" in attributes:
            self.anchors.append(attributes["name"])
        if tag == "a" and "href" in attributes:
            self.links.append(attributes["href"])
        if tag == "meta":
            self.metas[attributes.get("http-equiv", "").lower()] = attributes.get("content")

    def handle_data(self, data):
        self.text.append(data)


class HelpFileTest(unittest.TestCase):
    def setUp(self):
        self.page = HelpPageParser()
        self.page.feed(HELP_FILE.read_text(encoding="utf-8"))
        self.text = " ".join("".join(self.page.text).split())

    def test_the_viewer_finds_the_main_contents_first(self):
        self.assertEqual(self.page.anchors[0], "Main_Contents")
        self.assertEqual(self.page.metas["content-type"], "text/html; charset=utf-8")
        self.assertEqual(self.page.metas["htm-help"], "tavil.htm#Main_Contents")

    def test_every_link_leads_to_an_anchor_of_the_file(self):
        for link in self.page.links:
            with self.subTest(link):
                file_name, anchor = link.split("#")
                self.assertEqual(file_name, "tavil.htm")
                self.assertIn(anchor, self.page.anchors)

    def test_every_menu_entry_is_described(self):
        for entry in popup_menu_texts():
            if entry in NEVER_SHOWN:
                continue
            with self.subTest(entry):
                frequency = re.fullmatch(r"(\d+) МГц", entry)
                if frequency:  # frequencies are listed as numbers
                    self.assertRegex(self.text, rf"\b{frequency.group(1)}\b")
                else:
                    self.assertIn(entry, self.text)


if __name__ == "__main__":
    unittest.main()
