import unittest

from emulator.errors import ApiMisuse
from emulator.handheld import Handheld
from emulator.system.windows import (WM_CLOSE, WM_CREATE, WM_DESTROY, WM_TIMER, destroy_window,
                                     default_window_procedure, find_window, get_window_long,
                                     post_message, post_message_w, set_timer, set_window_long)
from tests.ui_fixtures import ScriptedDriver, make_window, process, run_loop

USER_MESSAGE = 0x8001


def advance_to_due(system, due_ms):
    system.handheld.now_ms = due_ms


def advance_and_post(window):
    def step(system, due_ms):
        system.handheld.now_ms = due_ms
        post_message(system, window(), USER_MESSAGE, 7, 0)
    return step


class TimerDelivery(unittest.TestCase):
    """A timer's message comes when it is due and the queue is otherwise empty;
    timers due together come in the order they were set."""

    def run_scenario(self, steps, timers):
        driver = ScriptedDriver()
        system, machine = process(Handheld(None, driver))
        received = []
        window = make_window(system, machine, "Probe", received)
        for timer_id, period in timers:
            set_timer(system, window, timer_id, period, 0)
        driver.steps = [step(lambda: window) if step is advance_and_post else step for step in steps]
        self.assertEqual(run_loop(system, machine), 0)
        return [(message, wparam, at) for message, wparam, _, at in received if message != WM_CREATE]

    def test_order(self):
        table = [
            ("two periods", [advance_to_due] * 5, [(1, 1000), (2, 2500)],
             [(WM_TIMER, 1, 1000), (WM_TIMER, 1, 2000), (WM_TIMER, 2, 2500), (WM_TIMER, 1, 3000),
              (WM_TIMER, 1, 4000)]),
            ("due together: in the order set", [advance_to_due] * 2, [(2, 500), (1, 500)],
             [(WM_TIMER, 2, 500), (WM_TIMER, 1, 500), (WM_TIMER, 2, 1000), (WM_TIMER, 1, 1000)]),
            ("a posted message first", [advance_and_post], [(1, 1000)],
             [(USER_MESSAGE, 7, 1000), (WM_TIMER, 1, 1000)]),
        ]
        for name, steps, timers, expected in table:
            with self.subTest(name):
                self.assertEqual(self.run_scenario(steps, timers), expected)

    def test_timer_set_again_restarts_its_period(self):
        driver = ScriptedDriver([advance_to_due])
        system, machine = process(Handheld(None, driver))
        received = []
        window = make_window(system, machine, "Probe", received)
        set_timer(system, window, 1, 1000, 0)
        system.handheld.now_ms = 600
        set_timer(system, window, 1, 1000, 0)
        run_loop(system, machine)
        self.assertEqual([at for message, _, _, at in received if message == WM_TIMER], [1600])


class WindowsAcrossProcesses(unittest.TestCase):
    def test_find_and_post_reach_the_owner(self):
        handheld = Handheld(None, ScriptedDriver())
        first, first_machine = process(handheld)
        second, second_machine = process(handheld)
        received = []
        window = make_window(first, first_machine, "Tavil", received, class_name="Tavil")
        self.assertEqual(find_window(second, second_machine.put_wstr("TAVIL"), second_machine.put_wstr("tavil")),
                         window)
        self.assertEqual(find_window(second, 0, second_machine.put_wstr("Other")), 0)
        post_message_w(second, window, USER_MESSAGE, 1, 2)
        run_loop(second, second_machine)
        self.assertNotIn((USER_MESSAGE, 1, 2, 0), received)  # the second's queue holds nothing of it
        run_loop(first, first_machine)
        self.assertIn((USER_MESSAGE, 1, 2, 0), received)

    def test_close_destroys_and_destroy_is_sent(self):
        system, machine = process(Handheld(None, ScriptedDriver()))
        received = []
        window = make_window(system, machine, "Probe", received)
        default_window_procedure(system, window, WM_CLOSE, 0, 0)
        self.assertEqual([m for m, *_ in received], [WM_CREATE, WM_DESTROY])
        self.assertRaises(ApiMisuse, destroy_window, system, window)


class Misuse(unittest.TestCase):
    def test_rules(self):
        system, machine = process(Handheld(None, ScriptedDriver()))
        window = make_window(system, machine, "Probe", [])
        dead = make_window(system, machine, "Gone", [], class_name="Gone", procedure=0x20000)
        destroy_window(system, dead)
        table = [
            ("post to a dead window", lambda: post_message_w(system, dead, 1, 0, 0), "hWnd"),
            ("DWL_USER of a plain window", lambda: get_window_long(system, window, 8), "DWL_USER"),
            ("window long of a dead window", lambda: set_window_long(system, dead, -21 & 0xFFFFFFFF, 1), "hWnd"),
        ]
        for name, call, named in table:
            with self.subTest(name):
                with self.assertRaisesRegex(ApiMisuse, named):
                    call()

    def test_user_data_kept(self):
        system, machine = process(Handheld(None, ScriptedDriver()))
        window = make_window(system, machine, "Probe", [])
        index = -21 & 0xFFFFFFFF
        self.assertEqual(set_window_long(system, window, index, 0x1234), 0)
        self.assertEqual(get_window_long(system, window, index), 0x1234)


if __name__ == "__main__":
    unittest.main()
