// The line readers of action-inputs.mjs, on the forms the workflows and action.yml files use;
// scripts/lint-workflows runs this before it reads the real workflows.
import { test } from "node:test";
import assert from "node:assert/strict";
import { actionInputs, pinnedSteps } from "./action-inputs.mjs";

const sha = "0123456789abcdef0123456789abcdef01234567";

test("each pinned step's with: keys, and no key of a neighbour or a block scalar", () => {
  const workflow = `
jobs:
  ci:
    uses: ./.github/workflows/ci.yml
  other:
    uses: owner/repo/.github/workflows/reusable.yml@${sha}
    with:
      not-an-action-input: 1
  build:
    steps:
      - uses: actions/checkout@${sha} # v1.2.3
      - name: Upload
        with:
          name: pictures
          # a comment line
          path: |
            first/path
            looks-like: a key
          "if-no-files-found": error
        uses: "actions/upload-artifact@${sha}"
      - name: Shell
        run: |
          uses: not/a-step@${sha}
      -   uses: owner/repo/sub/dir@${sha}
          with: # the inputs
            only: one
      - uses: ./local-action
        with:
          anything: goes
`;
  const steps = pinnedSteps(workflow).map((step) => ({
    ...step,
    with: step.with.map((key) => `${key.name}@${key.line}`),
  }));
  assert.deepEqual(steps, [
    { line: 11, owner: "actions", repo: "checkout", path: "", sha, with: [] },
    { line: 20, owner: "actions", repo: "upload-artifact", path: "", sha,
      with: ["name@14", "path@16", "if-no-files-found@19"] },
    { line: 24, owner: "owner", repo: "repo", path: "sub/dir", sha, with: ["only@26"] },
  ]);
});

test("forms it cannot read are reported, never passed over", () => {
  const step = (lines) => `jobs:\n  a:\n    steps:\n      - uses: a/b@${sha}\n${lines}\n`;
  assert.throws(() => pinnedSteps(step(`      - uses: actions/checkout@v4`)),
                /line 5: .* owner\/repo/);
  assert.throws(() => pinnedSteps(step(`        with: { x: 1 }`)),
                /line 5: cannot read a with: written on one line/);
  assert.throws(() => pinnedSteps(step(`        with:\n            x: 1\n          y: 2`)),
                /line 7: with: is indented unevenly/);
  assert.throws(() => pinnedSteps(step(`        with:\n          - x`)),
                /line 6: cannot read a key of with:/);
  assert.throws(() => pinnedSteps(`jobs:\n  a:\n    uses: a/b@${sha}\n`),
                /line 3: cannot tell which step/);
});

test("an action.yml's inputs: its keys one level down, none from outputs: or texts", () => {
  const action = `name: x
description: |
  inputs:
    not-this: 1
inputs:
  node-version:
    description: >
      Version range:
      like: this
  'quoted-name':
    default: true

  cache:
    required: false
outputs:
  cache-hit:
    description: no
`;
  assert.deepEqual(actionInputs(action), ["node-version", "quoted-name", "cache"]);
  assert.deepEqual(actionInputs("name: x\nruns:\n  using: node24\n"), []);
  assert.throws(() => actionInputs("inputs: {a: {}}\n"), /cannot read inputs: written on one line/);
});
