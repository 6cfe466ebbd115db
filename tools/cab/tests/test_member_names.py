"""Member names as the format notes' example cabinet and Total Commander's
cabinet show them: the original name's stem, padded with "0" on the left to
eight characters when it is a short name already, else six valid characters in
capitals and "~1"; the member's number as the extension."""

import unittest

import cab_test_support  # noqa: F401  (the tool folder on the import path)

from cab_names import member_name, member_number

EXAMPLES = (
    # (original file, number, name in the cabinet)
    ("Blackjack Setup.dll", 999, "BLACKJ~1.999"),
    ("SelfRegister.dll", 6, "SELFRE~1.006"),
    ("Blkjack.exe", 5, "0Blkjack.005"),
    ("Sample.BJL", 4, "00Sample.004"),
    ("Win Game.wav", 3, "WINGAM~1.003"),
    ("Lose Game.wav", 2, "LOSEGA~1.002"),
    ("Blackjack Help.htp", 1, "BLACKJ~1.001"),
    ("cecmd.exe", 2, "000cecmd.002"),
    ("ftp.tfx", 3, "00000ftp.003"),
    ("registry.tfx", 4, "registry.004"),
    ("LAN.tfx", 5, "00000LAN.005"),
)


class MemberNameTest(unittest.TestCase):
    def test_names_follow_the_examples(self):
        for original, number, expected in EXAMPLES:
            with self.subTest(original):
                self.assertEqual(member_name(original, number), expected)
                self.assertEqual(member_number(expected), number)

    def test_the_number_alone_identifies_a_member(self):
        self.assertEqual(member_number("CECMD_~2.001"), 1)
        self.assertEqual(member_number("x.042"), 42)
        for name in ("readme.txt", "Tavil.1", "Tavil.0001", "Tavil"):
            with self.subTest(name):
                self.assertIsNone(member_number(name))

    def test_numbers_have_three_digits(self):
        for number in (-1, 1000):
            with self.subTest(number):
                with self.assertRaises(ValueError):
                    member_name("Tavil.exe", number)


if __name__ == "__main__":
    unittest.main()
