// Builds each design-token file named after the output folder into CSS variables with Style Dictionary's
// own "css" transforms, as a project that keeps its colours in tokens would:
//     node styledictionary.mjs OUTPUT TOKENS.json...
// and writes OUTPUT/NAME.css for each. Run with NODE_PATH at the Style Dictionary installed.
import { createRequire } from 'node:module';
import path from 'node:path';

const require = createRequire(path.join(process.env.NODE_PATH, 'noop.js'));
const { default: StyleDictionary } = await import(require.resolve('style-dictionary'));
const [output, ...sources] = process.argv.slice(2);
for (const source of sources) {
    const dictionary = new StyleDictionary({
        source: [source],
        log: { verbosity: 'silent', warnings: 'disabled' },
        platforms: {
            css: {
                transformGroup: 'css',
                buildPath: output + '/',
                files: [{ destination: path.basename(source, '.json') + '.css', format: 'css/variables' }],
            },
        },
    });
    await dictionary.buildAllPlatforms();
}
