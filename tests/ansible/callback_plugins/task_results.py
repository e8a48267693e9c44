# A stdout callback for the playbook test: at the end of the run, one JSON document with each
# task's result for each host, {"tasks": {"TASK NAME": {"HOST": result}}}, check and diff mode
# included. ansible-core ships no JSON callback of its own.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json

from ansible.plugins.callback import CallbackBase


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = "stdout"
    CALLBACK_NAME = "task_results"

    def __init__(self):
        super(CallbackModule, self).__init__()
        self.tasks = {}

    def _record(self, result, **extra):
        outcome = dict(result._result)
        outcome.update(extra)
        self.tasks.setdefault(result._task.get_name(), {})[result._host.get_name()] = outcome

    def v2_runner_on_ok(self, result):
        self._record(result)

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self._record(result, failed=True)

    def v2_runner_on_skipped(self, result):
        self._record(result, skipped=True)

    def v2_runner_on_unreachable(self, result):
        self._record(result, unreachable=True)

    def v2_playbook_on_stats(self, stats):
        self._display.display(json.dumps({"tasks": self.tasks}, indent=2, sort_keys=True))
