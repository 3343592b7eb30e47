// Checks the `with:` keys of every pinned action in the workflows against the `inputs:` of that
// action's action.yml at the pinned commit, which actionlint cannot do for a commit pin:
//
//   node tools/workflow-lint/action-inputs.mjs WORKFLOW...
//
// Only on GitHub (GITHUB_ACTIONS set) does it fetch the action.yml files; a fetch that fails
// fails the check. Elsewhere it reads the workflows all the same, so a step it cannot read fails
// here too, and then says it skipped the comparison.
//
// It reads the workflows line by line, in the one style they are written in, not as YAML:
// - a step is a list item whose keys line up with the text after its dash ("- uses: X" or
//   "- name: ..." with "uses: X" below it at the same column); the step ends at the next item of
//   its list or at the first line, other than a blank or a comment, left of that column;
// - its `uses:` value is owner/repo[/path]@SHA, quoted or not, a comment after it allowed; a local
//   action (./...), a docker:// image and a job's reusable workflow are not checked;
// - its `with:` is a block mapping one level deeper, one key a line, a value on the key's line or
//   as a block scalar (| or >) below it; a `with:` written inline ({...}) is reported as
//   unreadable, and so is any other line at the keys' column.
// An action.yml is read the same way: the keys one level below a top-level `inputs:`. Input names
// are compared without regard to case, as GitHub compares them.
import { pathToFileURL } from "node:url";
import { readFileSync } from "node:fs";

// Each line as its column (after a list item's dash), its text from there, and whether it opens
// a list item. Blank lines, comment lines and the text of a block scalar (a run: | script, a
// description: >) come back as null.
function layout(text) {
  let scalarColumn = -1;
  return text.split(/\r?\n/).map((raw) => {
    const match = /^( *)(- +)?(.*)$/.exec(raw);
    const rest = match[3].trimEnd();
    if (scalarColumn >= 0 && (raw.trim() === "" || match[1].length > scalarColumn)) return null;
    scalarColumn = -1;
    if (rest === "" && !match[2]) return null;
    if (rest.startsWith("#")) return null;
    const column = match[1].length + (match[2] || "").length;
    if (/:\s+[|>][-+0-9]*\s*(#.*)?$/.test(rest)) scalarColumn = column;
    return { column, text: rest, item: !!match[2] };
  });
}

// The keys of the block mapping below line `at` (a "key:" line at column `column`): those at the
// column of its first line. Returns them with their 1-based line numbers, or throws.
function blockKeys(lines, at, column, what) {
  const keys = [];
  let keyColumn = -1;
  for (let i = at + 1; i < lines.length; i++) {
    const line = lines[i];
    if (!line) continue;
    if (line.column <= column) break;
    if (keyColumn < 0) keyColumn = line.column;
    if (line.column < keyColumn) throw new Error(`line ${i + 1}: ${what} is indented unevenly`);
    if (line.column > keyColumn) continue;
    const key = /^(['"]?)([^'"\s:]+)\1\s*:(\s|$)/.exec(line.text);
    if (!key || line.item) throw new Error(`line ${i + 1}: cannot read a key of ${what} here`);
    keys.push({ name: key[2], line: i + 1 });
  }
  return keys;
}

// The steps of a workflow that use an action pinned to a commit: [{ line, owner, repo, path,
// sha, with: [{ name, line }] }].
export function pinnedSteps(text) {
  const lines = layout(text);
  const steps = [];
  lines.forEach((line, at) => {
    const uses = line && /^uses:\s*(['"]?)([^'"\s]+)\1\s*(#.*)?$/.exec(line.text);
    if (!uses) return;
    const value = uses[2];
    if (value.startsWith("./") || value.startsWith("docker://")) return;
    const column = line.column;
    const opensStep = (other) => other && other.item && other.column === column;
    const leftOf = (other) => other && other.column < column;
    // Back to the dash that opens this step, if the uses: is a step's.
    let start = at;
    while (start >= 0 && !opensStep(lines[start]) && !leftOf(lines[start])) start--;
    if (start < 0 || !opensStep(lines[start])) {
      if (value.includes("/.github/workflows/")) return;
      throw new Error(`line ${at + 1}: cannot tell which step this uses: belongs to`);
    }
    const pin = /^([\w.-]+)\/([\w.-]+)((?:\/[^@]+)?)@([0-9a-f]{40})$/.exec(value);
    if (!pin) throw new Error(`line ${at + 1}: ${value} is not owner/repo[/path]@SHA`);
    // On to the next step, or out of the list.
    let end = start + 1;
    while (end < lines.length && !opensStep(lines[end]) && !leftOf(lines[end])) end++;
    const step = { line: at + 1, owner: pin[1], repo: pin[2], path: pin[3].slice(1), sha: pin[4],
                   with: [] };
    for (let i = start; i < end; i++) {
      if (!lines[i] || lines[i].column !== column || !/^with\s*:/.test(lines[i].text)) continue;
      if (!/^with\s*:\s*(#.*)?$/.test(lines[i].text)) {
        throw new Error(`line ${i + 1}: cannot read a with: written on one line`);
      }
      step.with = blockKeys(lines, i, column, "with:");
    }
    steps.push(step);
  });
  return steps;
}

// The input names an action.yml declares.
export function actionInputs(text) {
  const lines = layout(text);
  const at = lines.findIndex((line) => line && line.column === 0 && /^inputs\s*:/.test(line.text));
  if (at < 0) return [];
  if (!/^inputs\s*:\s*(#.*)?$/.test(lines[at].text)) {
    throw new Error(`line ${at + 1}: cannot read inputs: written on one line`);
  }
  return blockKeys(lines, at, 0, "inputs:").map((key) => key.name);
}

// The action.yml (or action.yaml) of an action at a commit, from GitHub.
async function fetchActionYml(step) {
  const base = `https://raw.githubusercontent.com/${step.owner}/${step.repo}/${step.sha}/` +
    (step.path ? `${step.path}/` : "");
  for (const name of ["action.yml", "action.yaml"]) {
    const response = await fetch(base + name, { signal: AbortSignal.timeout(30000) });
    if (response.ok) return response.text();
    if (response.status !== 404) throw new Error(`${base}${name}: HTTP ${response.status}`);
  }
  throw new Error(`${base}: neither action.yml nor action.yaml is there`);
}

async function main(files) {
  const steps = [];
  for (const file of files) {
    try {
      for (const step of pinnedSteps(readFileSync(file, "utf8"))) steps.push({ file, ...step });
    } catch (error) {
      console.error(`${file}: ${error.message}`);
      return 1;
    }
  }
  if (!process.env.GITHUB_ACTIONS) {
    console.log("action inputs: skipped: no network");
    return 0;
  }
  const inputs = new Map();
  let failed = 0;
  for (const step of steps) {
    const name = `${step.owner}/${step.repo}${step.path ? "/" + step.path : ""}@${step.sha}`;
    if (!inputs.has(name)) {
      try {
        const declared = actionInputs(await fetchActionYml(step));
        inputs.set(name, declared.map((input) => input.toLowerCase()));
      } catch (error) {
        console.error(`action inputs: ${name}: ${error.message}`);
        return 1;
      }
    }
    for (const key of step.with) {
      if (inputs.get(name).includes(key.name.toLowerCase())) continue;
      console.error(`${step.file}:${key.line}: ${name} has no input "${key.name}"; ` +
        `its inputs: ${inputs.get(name).join(", ") || "none"}`);
      failed = 1;
    }
  }
  if (!failed) {
    console.log(`action inputs: passed: ${steps.length} steps, ${inputs.size} actions, ` +
      "checked against their action.yml at the pinned commit");
  }
  return failed;
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  process.exitCode = await main(process.argv.slice(2));
}
